#include "acquire/net/curl_transfer.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string_view>

namespace tarvelo::curl {

namespace {

using Clock = std::chrono::steady_clock;

// How long one wait for network events may last: the stall watch of every
// transfer runs at least this often.
constexpr int kPollMs = 1000;

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower;
}

std::string_view Trimmed(std::string_view text) {
  const size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// "scheme://host:port" of an absolute address in lower case; empty for any other text.
std::string OriginOf(std::string_view url) {
  const size_t scheme_end = url.find("://");
  if (scheme_end == std::string_view::npos || scheme_end == 0 || url.find_first_of("/?#") < scheme_end) return {};
  return LowerCase(url.substr(0, url.find_first_of("/?#", scheme_end + 3)));
}

// Whether a Location header keeps the request on its own scheme and host: a
// path is relative to the current address, anything naming a scheme or a host
// must name the request's own.
bool RedirectStaysAt(std::string_view location, const std::string& origin) {
  location = Trimmed(location);
  if (location.find('\\') != std::string_view::npos) return false;
  if (location.starts_with("//")) {
    const std::string scheme = origin.substr(0, origin.find("://"));
    return !origin.empty() && OriginOf(scheme + ":" + std::string(location)) == origin;
  }
  const size_t first_mark = location.find_first_of(":/?#");
  if (first_mark == std::string_view::npos || location[first_mark] != ':') return true;
  return !origin.empty() && OriginOf(location) == origin;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  if (transfer->max_body_bytes > 0 &&
      transfer->body.size() + bytes > static_cast<size_t>(transfer->max_body_bytes)) {
    transfer->too_large = true;
    return 0;  // ends the transfer
  }
  transfer->body.append(data, bytes);
  transfer->last_activity = Clock::now();
  return bytes;
}

// Notes the status of each answer (a redirect's too) and refuses a redirect to
// another scheme or host before libcurl follows it.
size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  transfer->last_activity = Clock::now();
  const std::string_view line(data, size * count);
  if (line.starts_with("HTTP/")) {
    const size_t blank = line.find(' ');
    const std::string code = blank == std::string_view::npos ? std::string() : std::string(line.substr(blank + 1, 3));
    transfer->header_status = std::atoi(code.c_str());
  } else if (transfer->header_status >= 300 && transfer->header_status < 400 &&
             LowerCase(line.substr(0, 9)) == "location:" && !RedirectStaysAt(line.substr(9), transfer->origin)) {
    transfer->redirect_refused = true;
    return 0;  // ends the transfer
  }
  return size * count;
}

// libcurl calls this about once a second even while nothing arrives.
int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto* transfer = static_cast<Transfer*>(user);
  if (Clock::now() - transfer->last_activity < transfer->stall_limit) return 0;
  transfer->stalled = true;
  return 1;
}

TransferEnd EndOf(CURLcode code, const Transfer& transfer, int status) {
  if (code == CURLE_OK) return TransferEnd::kComplete;
  if (transfer.too_large || code == CURLE_FILESIZE_EXCEEDED) return TransferEnd::kTooLarge;
  if (transfer.redirect_refused) return TransferEnd::kRedirected;
  if (transfer.stalled || code == CURLE_OPERATION_TIMEDOUT) return TransferEnd::kTimedOut;
  return status > 0 ? TransferEnd::kInterrupted : TransferEnd::kNoConnection;
}

void ApplyProxy(CURL* handle, const ProxySetting& proxy) {
  switch (proxy.mode) {
    case ProxyMode::kPreconfigured:
      break;  // libcurl reads the environment's proxies itself
    case ProxyMode::kDirect:
      curl_easy_setopt(handle, CURLOPT_PROXY, "");
      break;
    case ProxyMode::kNamed:
      curl_easy_setopt(handle, CURLOPT_PROXY, proxy.name.c_str());
      curl_easy_setopt(handle, CURLOPT_NOPROXY, "");
      break;
  }
}

// False when the multi handle failed or the wait was cancelled.
bool Drive(CURLM* multi, int active, const TransferWait* wait) {
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) return false;
    if (wait != nullptr && wait->Cancelled()) return false;
    if (running < active) return true;
    if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) return false;
  }
}

}  // namespace

bool DriveUntilOneEnds(CURLM* multi, int active, TransferWait* wait) {
  if (wait == nullptr) return Drive(multi, active, nullptr);
  if (wait->Cancelled()) return false;
  bool ok = false;
  wait->Run([&] { ok = Drive(multi, active, wait); }, [multi] { curl_multi_wakeup(multi); });
  return ok && !wait->Cancelled();
}

void Prepare(CURL* handle, const HttpRequest& request, Transfer& transfer) {
  curl_easy_reset(handle);
  transfer.wire_url = EscapeUrlForWire(request.url);
  if (!request.extra_header.empty()) transfer.headers.reset(curl_slist_append(nullptr, request.extra_header.c_str()));
  transfer.last_activity = Clock::now();
  transfer.stall_limit = request.limits.stall_limit;
  transfer.origin = OriginOf(transfer.wire_url);
  transfer.max_body_bytes = request.limits.max_body_bytes;
  const TransferLimits& limits = request.limits;

  curl_easy_setopt(handle, CURLOPT_URL, transfer.wire_url.c_str());
  curl_easy_setopt(handle, CURLOPT_USERAGENT, request.user_agent.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, transfer.headers.get());
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_FILETIME, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connect_timeout.count()));
  const auto time_allowed = std::max(TimeAllowed(request), std::chrono::milliseconds(1));
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(time_allowed.count()));
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, limits.low_speed_bytes);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.low_speed_time.count()));
  if (limits.max_body_bytes > 0) {
    curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.max_body_bytes));
  }
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, OnProgress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  if (!request.ca_file.empty()) curl_easy_setopt(handle, CURLOPT_CAINFO, request.ca_file.c_str());
  ApplyProxy(handle, request.proxy);
}

HttpResponse Finish(CURL* handle, CURLcode code, Transfer& transfer) {
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  curl_off_t file_time = -1;
  curl_easy_getinfo(handle, CURLINFO_FILETIME_T, &file_time);
  HttpResponse response;
  response.status = static_cast<int>(status);
  response.end = EndOf(code, transfer, response.status);
  response.body = std::move(transfer.body);
  if (file_time >= 0) response.last_modified = static_cast<int64_t>(file_time);
  return response;
}

}  // namespace tarvelo::curl
