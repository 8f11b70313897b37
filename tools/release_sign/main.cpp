// tarvelo-release-sign: the release key pair and the detached signatures the program's
// self-update checks downloads against.
//   tarvelo-release-sign keygen SECRET_KEY_FILE   a new key pair; prints the public half
//   tarvelo-release-sign public SECRET_KEY_FILE   prints the public half again
//   tarvelo-release-sign sign SECRET_KEY_FILE FILE   writes FILE.sig (64 bytes, Ed25519)
// The public half is printed as the bytes of src/shell/release_key.cpp. The secret key
// file never belongs in the repository.
#include <fcntl.h>
#include <sodium.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace {

using SecretKey = unsigned char[crypto_sign_SECRETKEYBYTES];

bool ReadFile(const std::string& path, std::string& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return true;
}

bool WriteFile(const std::string& path, const unsigned char* bytes, size_t size, mode_t mode) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, mode);
  if (fd < 0) return false;
  bool written = write(fd, bytes, size) == static_cast<ssize_t>(size);
  return close(fd) == 0 && written;
}

bool ReadSecretKey(const std::string& path, SecretKey key) {
  std::string bytes;
  if (!ReadFile(path, bytes) || bytes.size() != crypto_sign_SECRETKEYBYTES) return false;
  std::copy(bytes.begin(), bytes.end(), key);
  return true;
}

void PrintPublicKey(const unsigned char (&key)[crypto_sign_PUBLICKEYBYTES]) {
  for (size_t i = 0; i < sizeof key; ++i) std::printf("0x%02x,%s", key[i], i % 8 == 7 ? "\n" : " ");
}

int KeyGen(const std::string& secret_file) {
  unsigned char public_key[crypto_sign_PUBLICKEYBYTES];
  SecretKey secret;
  crypto_sign_keypair(public_key, secret);
  bool written = WriteFile(secret_file, secret, sizeof secret, 0600);
  sodium_memzero(secret, sizeof secret);
  if (!written) {
    std::fprintf(stderr, "cannot create %s (it must not exist yet)\n", secret_file.c_str());
    return 1;
  }
  PrintPublicKey(public_key);
  return 0;
}

int Public(const std::string& secret_file) {
  SecretKey secret;
  if (!ReadSecretKey(secret_file, secret)) {
    std::fprintf(stderr, "%s is no secret key\n", secret_file.c_str());
    return 1;
  }
  unsigned char public_key[crypto_sign_PUBLICKEYBYTES];
  crypto_sign_ed25519_sk_to_pk(public_key, secret);
  sodium_memzero(secret, sizeof secret);
  PrintPublicKey(public_key);
  return 0;
}

int Sign(const std::string& secret_file, const std::string& file) {
  SecretKey secret;
  std::string content;
  if (!ReadSecretKey(secret_file, secret) || !ReadFile(file, content)) {
    std::fprintf(stderr, "cannot read %s or %s\n", secret_file.c_str(), file.c_str());
    return 1;
  }
  unsigned char signature[crypto_sign_BYTES];
  crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(content.data()), content.size(),
                       secret);
  sodium_memzero(secret, sizeof secret);
  std::string signature_file = file + ".sig";
  unlink(signature_file.c_str());
  if (!WriteFile(signature_file, signature, sizeof signature, 0644)) {
    std::fprintf(stderr, "cannot write %s\n", signature_file.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (sodium_init() < 0) return 1;
  std::string_view command = argc > 1 ? argv[1] : "";
  if (command == "keygen" && argc == 3) return KeyGen(argv[2]);
  if (command == "public" && argc == 3) return Public(argv[2]);
  if (command == "sign" && argc == 4) return Sign(argv[2], argv[3]);
  std::fputs("usage: tarvelo-release-sign keygen|public SECRET_KEY_FILE\n"
             "       tarvelo-release-sign sign SECRET_KEY_FILE FILE\n",
             stderr);
  return 2;
}
