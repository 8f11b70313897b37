#include "server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "connection.h"

namespace tarvelo::sample_api {

namespace {

constexpr size_t kMaxHeadBytes = 64 * 1024;
constexpr int kStallHoldMs = 10 * 60 * 1000;
// Neither JSON nor UTF-8.
constexpr std::string_view kGarbage =
    "\x89PNG\r\n<html><body>Service Unavailable \xCF\xF0\xE8\xE2\xE5\xF2</body></html>";

class RequestLog {
 public:
  explicit RequestLog(const std::string& file_name)
      : file_(file_name.empty() ? stdout : std::fopen(file_name.c_str(), "a")) {}
  bool ok() const { return file_ != nullptr; }
  void Write(const std::string& line) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::fprintf(file_, "%s\n", line.c_str());
    std::fflush(file_);
  }

 private:
  std::mutex mutex_;
  std::FILE* file_;
};

struct Context {
  std::string root;
  RequestLog& log;
  SSL_CTX* tls;  // null for plain HTTP
  // Requests read and not yet being answered, over all connections.
  std::atomic<int>& in_flight;
  std::chrono::steady_clock::time_point started;
  // How often each route (by its place in the routes file) has answered with its fault.
  std::mutex& fault_mutex;
  std::map<size_t, int>& faults_given;
};

// What goes back to the client.
struct Answer {
  int status = 200;
  Pairs headers;
  std::string body;
  int delay_ms = 0;
  int trickle_ms = 0;
  Fault fault = Fault::kNone;
};

std::string Trimmed(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string_view::npos) return {};
  const size_t end = text.find_last_not_of(" \t\r");
  return std::string(text.substr(begin, end - begin + 1));
}

std::string_view ReasonPhrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 502: return "Bad Gateway";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "Status";
  }
}

std::string ContentTypeOf(std::string_view file) {
  const auto ends_with = [&](std::string_view suffix) { return file.ends_with(suffix); };
  if (ends_with(".json") || ends_with(".dat") || ends_with(".id")) return "application/json; charset=utf-8";
  if (ends_with(".html") || ends_with(".htm")) return "text/html; charset=utf-8";
  if (ends_with(".png")) return "image/png";
  if (ends_with(".txt")) return "text/plain; charset=utf-8";
  if (file.empty()) return "text/plain; charset=utf-8";
  return "application/octet-stream";
}

bool HasHeader(const Pairs& headers, std::string_view name) {
  for (const auto& [key, value] : headers) {
    if (EqualIgnoringCase(key, name)) return true;
  }
  return false;
}

bool ReadFile(const std::string& name, std::string& bytes) {
  std::error_code ignored;
  if (!std::filesystem::is_regular_file(name, ignored)) return false;
  std::ifstream file(name, std::ios::binary);
  if (!file) return false;
  std::ostringstream text;
  text << file.rdbuf();
  bytes = text.str();
  return true;
}

Answer PlainAnswer(int status, std::string body) {
  Answer answer;
  answer.status = status;
  answer.body = std::move(body) + "\n";
  return answer;
}

// The route's answer as it is written down, before any fault spoils it.
Answer RouteAnswer(const Context& context, const Route& route, const Request& request, const std::string& target) {
  Answer answer;
  answer.status = route.status;
  answer.headers = route.headers;
  answer.delay_ms = route.delay_ms;
  answer.trickle_ms = route.trickle_ms;
  answer.fault = route.fault;
  answer.body = route.body;
  const std::string file = RouteFile(route, request.path);
  if (!route.folder.empty() && (file.empty() || !ReadFile(context.root + "/" + file, answer.body))) {
    return PlainAnswer(404, "sample service: no file for " + target);
  }
  if (route.folder.empty() && !file.empty() && !ReadFile(context.root + "/" + file, answer.body)) {
    return PlainAnswer(500, "sample service: cannot read " + file);
  }
  if (!HasHeader(answer.headers, "Content-Type")) answer.headers.emplace_back("Content-Type", ContentTypeOf(file));
  return answer;
}

// A route with "fault_times" answers well once it has given its fault that often.
bool FaultSpent(const Context& context, const std::vector<Route>& routes, const Route& route) {
  if (route.fault == Fault::kNone || route.fault_times <= 0) return false;
  std::lock_guard<std::mutex> lock(context.fault_mutex);
  int& given = context.faults_given[static_cast<size_t>(&route - routes.data())];
  if (given >= route.fault_times) return true;
  ++given;
  return false;
}

constexpr std::string_view kIdsKey = "account_id";

// The ids of a request that names several accounts ("account_id=1,2,3"); empty otherwise.
std::vector<std::string> ListedIds(const Request& request) {
  std::vector<std::string> ids;
  for (const auto& [key, value] : request.query) {
    if (key != kIdsKey || value.find(',') == std::string::npos) continue;
    std::istringstream list(value);
    for (std::string id; std::getline(list, id, ',');) ids.push_back(id);
  }
  return ids;
}

// The data object of a single-account answer, "null" for any other answer.
std::string SingleAccountObject(const Answer& answer, const Route& route, const std::string& id) {
  const std::string head = "{\"status\":\"ok\",\"meta\":{\"count\":1},\"data\":{\"" + id + "\":";
  const std::string& body = answer.body;
  if (answer.status != 200 || route.fault != Fault::kNone || !body.starts_with(head) || !body.ends_with("}}")) {
    return "null";
  }
  return body.substr(head.size(), body.size() - head.size() - 2);
}

// The answer for several accounts, put together from the routes of each one as
// the publisher answers such a request: every id's data object in the order
// asked, null for an account without a good answer of its own. A route with
// "in_batch": false is left out; the delay is the longest of the routes'.
Answer MultiIdAnswer(const Context& context, const std::vector<Route>& routes, const Request& request,
                     const std::vector<std::string>& ids, const std::string& target) {
  Answer answer;
  answer.headers.emplace_back("Content-Type", ContentTypeOf(".json"));
  std::string members;
  int count = 0;
  for (const std::string& id : ids) {
    Request single = request;
    for (auto& [key, value] : single.query) {
      if (key == kIdsKey) value = id;
    }
    const Route* route = MatchRoute(routes, single);
    if (route != nullptr && !route->in_batch) continue;
    std::string object = "null";
    if (route != nullptr) {
      answer.delay_ms = std::max(answer.delay_ms, route->delay_ms);
      object = SingleAccountObject(RouteAnswer(context, *route, single, target), *route, id);
    }
    members += (count++ > 0 ? ",\"" : "\"") + id + "\":" + object;
  }
  answer.body = "{\"status\":\"ok\",\"meta\":{\"count\":" + std::to_string(count) + "},\"data\":{" + members + "}}";
  return answer;
}

Answer AnswerFor(const Context& context, const Request& request, const std::string& target) {
  const RouteTable table = LoadRoutes(context.root);
  if (!table.error.empty()) return PlainAnswer(500, "sample service: " + table.error);
  const Route* route = MatchRoute(table.routes, request);
  if (!route) {
    const std::vector<std::string> ids = ListedIds(request);
    if (!ids.empty()) return MultiIdAnswer(context, table.routes, request, ids, target);
    return PlainAnswer(404, "sample service: no route for " + target);
  }
  Answer answer = RouteAnswer(context, *route, request, target);
  if (FaultSpent(context, table.routes, *route)) answer.fault = Fault::kNone;
  if (answer.fault == Fault::kGarbage) answer.body = kGarbage;
  return answer;
}

std::string Outcome(const Answer& answer) {
  if (answer.fault == Fault::kClose) return "close";
  std::string outcome = std::to_string(answer.status);
  if (answer.fault != Fault::kNone) outcome += " " + std::string(FaultName(answer.fault));
  return outcome;
}

// The next request head (without its blank line) from `pending` and what more
// arrives; the bytes after it stay in `pending` for the next request.
bool ReadRequestHead(Connection& connection, std::string& pending, std::string& head) {
  char buffer[4096];
  for (;;) {
    const size_t end = pending.find("\r\n\r\n");
    if (end != std::string::npos) {
      head = pending.substr(0, end);
      pending.erase(0, end + 4);
      return true;
    }
    if (pending.size() >= kMaxHeadBytes) return false;
    const ssize_t got = connection.Receive(buffer, sizeof buffer);
    if (got <= 0) return false;
    pending.append(buffer, static_cast<size_t>(got));
  }
}

// Drops the request's body (Content-Length bytes) from the connection.
bool SkipBody(Connection& connection, const Request& request, std::string& pending) {
  size_t length = 0;
  for (const auto& [name, value] : request.headers) {
    if (EqualIgnoringCase(name, "Content-Length")) length = std::strtoull(value.c_str(), nullptr, 10);
  }
  char buffer[4096];
  while (pending.size() < length) {
    const ssize_t got = connection.Receive(buffer, sizeof buffer);
    if (got <= 0) return false;
    pending.append(buffer, static_cast<size_t>(got));
  }
  pending.erase(0, length);
  return true;
}

bool HasToken(std::string_view list, std::string_view token) {
  while (!list.empty()) {
    const size_t comma = list.find(',');
    if (EqualIgnoringCase(Trimmed(list.substr(0, comma)), token)) return true;
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
  }
  return false;
}

// HTTP/1.1 keeps the connection unless the client says "close"; HTTP/1.0 only
// when it asks for "keep-alive".
bool ClientKeepsConnection(const Request& request) {
  bool close = false;
  bool keep_alive = false;
  for (const auto& [name, value] : request.headers) {
    if (!EqualIgnoringCase(name, "Connection")) continue;
    close = close || HasToken(value, "close");
    keep_alive = keep_alive || HasToken(value, "keep-alive");
  }
  return !close && (request.version == "HTTP/1.1" || keep_alive);
}

// Holds the connection open without sending until the client gives up.
void WaitForClientToLeave(Connection& connection) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStallHoldMs);
  char buffer[512];
  while (std::chrono::steady_clock::now() < deadline) {
    if (connection.Readable(1000) && connection.Receive(buffer, sizeof buffer) <= 0) return;
  }
}

void SendAnswer(Connection& connection, const Answer& answer, bool head_only, bool keep_open) {
  if (answer.fault == Fault::kClose) return;
  std::string head = "HTTP/1.1 " + std::to_string(answer.status) + " " + std::string(ReasonPhrase(answer.status)) +
                     "\r\nContent-Length: " + std::to_string(answer.body.size()) +
                     (keep_open ? "\r\nConnection: keep-alive\r\n" : "\r\nConnection: close\r\n");
  for (const auto& [name, value] : answer.headers) head += name + ": " + value + "\r\n";
  head += "\r\n";
  if (!connection.SendAll(head) || head_only) return;
  const bool cut = answer.fault == Fault::kHalf || answer.fault == Fault::kStall;
  const std::string_view body = std::string_view(answer.body).substr(0, cut ? answer.body.size() / 2 : std::string::npos);
  if (answer.trickle_ms > 0) {
    for (size_t at = 0; at < body.size(); ++at) {
      if (at > 0) std::this_thread::sleep_for(std::chrono::milliseconds(answer.trickle_ms));
      if (!connection.SendAll(body.substr(at, 1))) return;
    }
  } else if (!connection.SendAll(body)) {
    return;
  }
  if (answer.fault == Fault::kStall) WaitForClientToLeave(connection);
}

// Answers one request; true when the connection stays open for the next one.
bool ServeRequest(Connection& connection, const Context& context, const std::string& head, std::string& pending,
                  int connection_number) {
  Request request;
  std::string target;
  Answer answer;
  const bool parsed = ParseRequestHead(head, request, target);
  if (parsed) {
    answer = AnswerFor(context, request, target);
  } else {
    answer = PlainAnswer(400, "sample service: bad request");
    request.method = "?";
    target = head.substr(0, head.find('\r'));
  }
  const int in_flight = ++context.in_flight;
  context.log.Write(request.method + "\t" + target + "\t" + Outcome(answer) + "\t" +
                    std::to_string(connection_number) + "\t" + std::to_string(in_flight) + "\t" +
                    std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                       std::chrono::steady_clock::now() - context.started)
                                       .count()));
  if (answer.delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(answer.delay_ms));
  const bool keep_open = parsed && answer.fault == Fault::kNone && ClientKeepsConnection(request) &&
                         SkipBody(connection, request, pending);
  // Counted out before the answer leaves, so a client that starts its next
  // request on receiving this answer never finds this one still counted.
  --context.in_flight;
  SendAnswer(connection, answer, request.method == "HEAD", keep_open);
  return keep_open;
}

void ServeConnection(int fd, const Context& context, int connection_number) {
  Connection connection(fd, context.tls);
  std::string pending;
  std::string head;
  bool open = connection.ok();
  while (open && ReadRequestHead(connection, pending, head)) {
    open = ServeRequest(connection, context, head, pending, connection_number);
  }
}

int OpenListener(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  const int yes = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 64) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

int BoundPort(int fd) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

Pairs ParseQuery(std::string_view query) {
  Pairs pairs;
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view part = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (part.empty()) continue;
    const size_t equals = part.find('=');
    pairs.emplace_back(PercentDecode(part.substr(0, equals)),
                       equals == std::string_view::npos ? std::string() : PercentDecode(part.substr(equals + 1)));
  }
  return pairs;
}

std::string_view OriginForm(std::string_view target) {
  const size_t scheme_end = target.find("://");
  if (scheme_end == std::string_view::npos || target.find('/') < scheme_end) return target;
  const size_t path = target.find_first_of("/?", scheme_end + 3);
  return path == std::string_view::npos ? std::string_view("/") : target.substr(path);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string PercentDecode(std::string_view text, bool keep_controls_escaped) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const bool escape =
        text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0;
    const int byte = escape ? HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]) : 0;
    if (escape && !(keep_controls_escaped && (byte < 0x20 || byte == 0x7F))) {
      decoded.push_back(static_cast<char>(byte));
      i += 2;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

bool ParseRequestHead(std::string_view head, Request& request, std::string& target) {
  const size_t line_end = head.find("\r\n");
  const std::string_view request_line = head.substr(0, line_end);
  const size_t first_blank = request_line.find(' ');
  const size_t last_blank = request_line.rfind(' ');
  if (first_blank == std::string_view::npos || last_blank <= first_blank) return false;
  request.method = std::string(request_line.substr(0, first_blank));
  request.version = std::string(request_line.substr(last_blank + 1));
  const std::string_view raw_target = OriginForm(request_line.substr(first_blank + 1, last_blank - first_blank - 1));
  const size_t question = raw_target.find('?');
  request.path = PercentDecode(raw_target.substr(0, question));
  request.query = question == std::string_view::npos ? Pairs() : ParseQuery(raw_target.substr(question + 1));
  target = PercentDecode(raw_target, true);

  std::string_view rest = line_end == std::string_view::npos ? std::string_view() : head.substr(line_end + 2);
  while (!rest.empty()) {
    const size_t end = rest.find("\r\n");
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 2);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    request.headers.emplace_back(Trimmed(line.substr(0, colon)), Trimmed(line.substr(colon + 1)));
  }
  return true;
}

int RunServer(const ServerOptions& options) {
  std::signal(SIGPIPE, SIG_IGN);
  const RouteTable table = LoadRoutes(options.root);
  if (!table.error.empty()) {
    std::fprintf(stderr, "tarvelo-sample-api: %s\n", table.error.c_str());
    return 2;
  }
  static RequestLog log(options.log_file);
  if (!log.ok()) {
    std::fprintf(stderr, "tarvelo-sample-api: cannot write %s\n", options.log_file.c_str());
    return 2;
  }
  std::string tls_error;
  static TlsContext tls;
  if (!options.certificate_file.empty()) tls = MakeTlsContext(options.certificate_file, options.key_file, tls_error);
  if (!tls_error.empty()) {
    std::fprintf(stderr, "tarvelo-sample-api: %s\n", tls_error.c_str());
    return 2;
  }
  const int listener = OpenListener(options.port);
  if (listener < 0) {
    std::fprintf(stderr, "tarvelo-sample-api: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  std::printf("%d\n", BoundPort(listener));
  std::fflush(stdout);
  static std::atomic<int> in_flight{0};
  static std::mutex fault_mutex;
  static std::map<size_t, int> faults_given;
  static const Context context{options.root, log,         tls.get(), in_flight, std::chrono::steady_clock::now(),
                               fault_mutex,  faults_given};
  int connections = 0;
  for (;;) {
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    const int yes = 1;
    timeval receive_limit{30, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &receive_limit, sizeof receive_limit);
    // The head and the body go out as separate writes; on a kept connection
    // Nagle's algorithm would hold the body back until the client's delayed ACK.
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    std::thread(ServeConnection, fd, std::cref(context), ++connections).detach();
  }
}

}  // namespace tarvelo::sample_api
