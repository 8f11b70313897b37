// The transport under every fetch: one blocking HTTP GET. The real getter uses
// libcurl (curl_http_getter.cpp); FakeHttpGetter answers from memory for tests.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarvelo {

// How connections are made, from the "Proxy" setting.
enum class ProxyMode {
  kPreconfigured,  // the proxies of the environment (http_proxy, https_proxy, no_proxy)
  kDirect,         // no proxy at all
  kNamed,          // the proxy in ProxySetting::name, for every address
};
struct ProxySetting {
  ProxyMode mode = ProxyMode::kPreconfigured;
  std::string name;
};

// A request never hangs: it fails when the connection is not made within
// `connect_timeout`, when no byte arrives for `stall_limit`, when fewer than
// `low_speed_bytes` a second arrive for `low_speed_time`, or when the whole
// request takes longer than `total_limit`. An answer larger than
// `max_body_bytes` (after decompression) is given up as well.
struct TransferLimits {
  std::chrono::milliseconds connect_timeout{std::chrono::seconds(30)};
  std::chrono::milliseconds stall_limit{std::chrono::seconds(60)};
  std::chrono::milliseconds total_limit{std::chrono::seconds(60)};
  long low_speed_bytes = 300;
  std::chrono::seconds low_speed_time{30};
  int64_t max_body_bytes = int64_t{16} * 1024 * 1024;
};

// Lets a front end keep its window alive while transfers run: the blocking part of a
// transfer is handed to Run, which may run it on another thread while the calling
// thread goes on handling its own events, and returns once `step` has returned.
// Cancelled, readable from any thread, tells transfers to give up at once; when it
// turns true the front end calls the `wake` handed to the Run under way, so a wait
// for the network inside `step` ends early.
class TransferWait {
 public:
  virtual ~TransferWait() = default;
  virtual void Run(const std::function<void()>& step, const std::function<void()>& wake) = 0;
  virtual bool Cancelled() const = 0;
};

// Redirects are followed only to the scheme and host (with port) of the request.
struct HttpRequest {
  std::string url;           // as the program built it; the transport escapes it
  std::string extra_header;  // one "Name: value" line, or empty
  std::string user_agent;
  ProxySetting proxy;
  TransferLimits limits;
  std::string ca_file;  // PEM file of the authorities to trust instead of the system's; empty: the system's
  TransferWait* wait = nullptr;  // null: the transfer blocks the calling thread
  // The end of the time a search grants the request's host: a request that
  // would begin after it is not made, and one under way ends by it.
  std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt;
};

// What `request` may still take: its total limit, cut to what is left before
// its deadline. Zero or less once the deadline has passed.
inline std::chrono::milliseconds TimeAllowed(const HttpRequest& request) {
  if (!request.deadline) return request.limits.total_limit;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*request.deadline -
                                                                          std::chrono::steady_clock::now());
  return std::min(request.limits.total_limit, left);
}

enum class TransferEnd {
  kComplete,      // the whole answer arrived
  kNoConnection,  // no answer at all: name, connection or protocol failure
  kTimedOut,      // the connect time-out or the stall limit ended it
  kInterrupted,   // an answer began but the connection broke off
  kTooLarge,      // the answer was larger than max_body_bytes
  kRedirected,    // the server sent the request to another scheme or host
};

struct HttpResponse {
  TransferEnd end = TransferEnd::kNoConnection;
  int status = 0;    // 0 when no status line arrived
  std::string body;  // the bytes that arrived, possibly only a part
  std::optional<int64_t> last_modified;  // Unix seconds of the Last-Modified header
};

class HttpGetter {
 public:
  virtual ~HttpGetter() = default;
  virtual HttpResponse Get(const HttpRequest& request) = 0;
};

// The libcurl getter. It keeps one handle: it has one owner, whose thread calls
// Get one request at a time (the transfer may be driven on the wait's worker
// meanwhile). A Get while another is under way is not run: it is answered as
// without connection.
std::unique_ptr<HttpGetter> MakeCurlHttpGetter();

// The URL as it goes on the wire: after the host, blanks, control characters,
// bytes above 0x7F, the characters " < > \ ^ ` { | } #, and any "%" that does not
// begin a %XX escape are percent-encoded; everything else stays as it is, so the
// server decodes the text the program put in.
std::string EscapeUrlForWire(std::string_view url);

}  // namespace tarvelo
