#include <curl/curl.h>

#include <memory>

#include "acquire/http_getter.h"

namespace tarvelo {

namespace detail {
namespace {

using Clock = std::chrono::steady_clock;

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool NeedsEscape(std::string_view url, size_t i) {
  const auto byte = static_cast<unsigned char>(url[i]);
  if (byte <= 0x20 || byte >= 0x7F) return true;
  if (byte == '%') return !(i + 2 < url.size() && IsHexDigit(url[i + 1]) && IsHexDigit(url[i + 2]));
  return std::string_view("\"<>\\^`{|}#").find(static_cast<char>(byte)) != std::string_view::npos;
}

// Where the path begins: after "scheme://authority", or 0 for a bare path.
size_t PathStart(std::string_view url) {
  const size_t scheme_end = url.find("://");
  if (scheme_end == std::string_view::npos || url.find_first_of("/?#") < scheme_end) return 0;
  const size_t path = url.find_first_of("/?", scheme_end + 3);
  return path == std::string_view::npos ? url.size() : path;
}

// What one transfer has seen; libcurl's callbacks update it.
struct Transfer {
  std::string body;
  Clock::time_point last_activity = Clock::now();
  std::chrono::milliseconds stall_limit{};
  bool stalled = false;
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  transfer->body.append(data, size * count);
  transfer->last_activity = Clock::now();
  return size * count;
}

size_t OnHeader(char*, size_t size, size_t count, void* user) {
  static_cast<Transfer*>(user)->last_activity = Clock::now();
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
  if (transfer.stalled || code == CURLE_OPERATION_TIMEDOUT) return TransferEnd::kTimedOut;
  return status > 0 ? TransferEnd::kInterrupted : TransferEnd::kNoConnection;
}

struct CurlHandleDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

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

void SetOptions(CURL* handle, const HttpRequest& request, const std::string& wire_url, curl_slist* headers,
                Transfer& transfer) {
  curl_easy_setopt(handle, CURLOPT_URL, wire_url.c_str());
  curl_easy_setopt(handle, CURLOPT_USERAGENT, request.user_agent.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_FILETIME, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.limits.connect_timeout.count()));
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

class CurlHttpGetter final : public HttpGetter {
 public:
  HttpResponse Get(const HttpRequest& request) override {
    if (!handle_) handle_.reset(curl_easy_init());
    if (!handle_) return {};
    CURL* handle = handle_.get();
    curl_easy_reset(handle);  // keeps the open connections for the next request

    const std::string wire_url = EscapeUrlForWire(request.url);
    std::unique_ptr<curl_slist, CurlListDeleter> headers;
    if (!request.extra_header.empty()) headers.reset(curl_slist_append(nullptr, request.extra_header.c_str()));
    Transfer transfer;
    transfer.stall_limit = request.limits.stall_limit;
    SetOptions(handle, request, wire_url, headers.get(), transfer);
    const CURLcode code = curl_easy_perform(handle);

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

 private:
  std::unique_ptr<CURL, CurlHandleDeleter> handle_;
};

}  // namespace
}  // namespace detail

std::string EscapeUrlForWire(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const size_t path_start = detail::PathStart(url);
  std::string wire(url.substr(0, path_start));
  for (size_t i = path_start; i < url.size(); ++i) {
    if (!detail::NeedsEscape(url, i)) {
      wire.push_back(url[i]);
      continue;
    }
    const auto byte = static_cast<unsigned char>(url[i]);
    wire.push_back('%');
    wire.push_back(kHex[byte >> 4]);
    wire.push_back(kHex[byte & 0x0F]);
  }
  return wire;
}

std::unique_ptr<HttpGetter> MakeCurlHttpGetter() { return std::make_unique<detail::CurlHttpGetter>(); }

}  // namespace tarvelo
