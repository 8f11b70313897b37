// A small HTTP/1.1 server on 127.0.0.1 that answers every request from the routes
// file of its root folder; a connection carries requests until either side ends it.
#pragma once

#include <string>
#include <string_view>

#include "routes.h"

namespace tarvelo::sample_api {

struct ServerOptions {
  std::string root;
  int port = 0;          // 0: any free port
  std::string log_file;  // empty: log to standard output
  std::string certificate_file;  // with key_file: HTTPS instead of HTTP
  std::string key_file;
};

// Prints the port on the first line of standard output, then serves until the
// process is stopped. Returns only when the port cannot be opened.
int RunServer(const ServerOptions& options);

// "%XX" escapes turned into bytes; "+" and malformed escapes stay as they are, and
// so do escaped control characters when asked (a log line stays one line).
std::string PercentDecode(std::string_view text, bool keep_controls_escaped = false);

// The request line and headers (without the blank line). An absolute target
// ("http://host/path?query", as sent to a proxy) is reduced to its path and
// query. `target` receives the path and query percent-decoded, control characters
// excepted.
bool ParseRequestHead(std::string_view head, Request& request, std::string& target);

}  // namespace tarvelo::sample_api
