// One accepted client connection, plain or TLS.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>

using SSL_CTX = struct ssl_ctx_st;
using SSL = struct ssl_st;

namespace tarvelo::sample_api {

// The server side of TLS: a certificate chain and its private key (PEM files).
// Null, with `error` set, when they cannot be loaded.
struct TlsContextDeleter {
  void operator()(SSL_CTX* context) const;
};
using TlsContext = std::unique_ptr<SSL_CTX, TlsContextDeleter>;
TlsContext MakeTlsContext(const std::string& certificate_file, const std::string& key_file, std::string& error);

class Connection {
 public:
  // Takes the socket; with a TLS context the handshake runs here.
  Connection(int fd, SSL_CTX* tls);
  ~Connection();  // closes the socket
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool ok() const { return ok_; }
  // Bytes received, 0 when the client has closed, negative on error.
  ssize_t Receive(char* buffer, size_t size);
  bool SendAll(std::string_view bytes);
  // Waits up to `timeout_ms` for something to receive.
  bool Readable(int timeout_ms) const;

 private:
  int fd_;
  SSL* ssl_ = nullptr;
  bool ok_ = true;
};

}  // namespace tarvelo::sample_api
