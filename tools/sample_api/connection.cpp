#include "connection.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace tarvelo::sample_api {

void TlsContextDeleter::operator()(SSL_CTX* context) const { SSL_CTX_free(context); }

TlsContext MakeTlsContext(const std::string& certificate_file, const std::string& key_file, std::string& error) {
  TlsContext context(SSL_CTX_new(TLS_server_method()));
  if (context && SSL_CTX_use_certificate_chain_file(context.get(), certificate_file.c_str()) == 1 &&
      SSL_CTX_use_PrivateKey_file(context.get(), key_file.c_str(), SSL_FILETYPE_PEM) == 1) {
    return context;
  }
  char reason[256] = "no TLS context";
  ERR_error_string_n(ERR_get_error(), reason, sizeof reason);
  error = "cannot use " + certificate_file + " and " + key_file + ": " + reason;
  return nullptr;
}

Connection::Connection(int fd, SSL_CTX* tls) : fd_(fd) {
  if (!tls) return;
  ssl_ = SSL_new(tls);
  ok_ = ssl_ && SSL_set_fd(ssl_, fd_) == 1 && SSL_accept(ssl_) == 1;
}

Connection::~Connection() {
  if (ssl_) {
    if (ok_) SSL_shutdown(ssl_);
    SSL_free(ssl_);
  }
  shutdown(fd_, SHUT_WR);
  close(fd_);
}

ssize_t Connection::Receive(char* buffer, size_t size) {
  for (;;) {
    const ssize_t got = ssl_ ? SSL_read(ssl_, buffer, static_cast<int>(size)) : recv(fd_, buffer, size, 0);
    if (got < 0 && !ssl_ && errno == EINTR) continue;
    return ssl_ && got < 0 ? 0 : got;
  }
}

bool Connection::SendAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ssl_ ? SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()))
                              : send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && !ssl_ && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

bool Connection::Readable(int timeout_ms) const {
  if (ssl_ && SSL_pending(ssl_) > 0) return true;
  pollfd watch{fd_, POLLIN, 0};
  return poll(&watch, 1, timeout_ms) > 0;
}

}  // namespace tarvelo::sample_api
