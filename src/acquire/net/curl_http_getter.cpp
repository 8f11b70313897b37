#include <chrono>
#include <memory>

#include "acquire/net/curl_transfer.h"
#include "acquire/net/http_getter.h"

namespace tarvelo {

namespace detail {
namespace {

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

// One transfer at a time through a multi handle of its own, so that a wait can be
// woken when it is cancelled; the multi handle keeps the connections for the next.
class CurlHttpGetter final : public HttpGetter {
 public:
  HttpResponse Get(const HttpRequest& request) override {
    const curl::OneAtATime turn(busy_);
    if (!turn) return {};
    if (TimeAllowed(request) <= std::chrono::milliseconds(0)) return {TransferEnd::kTimedOut, 0, {}, std::nullopt};
    if (!handle_) handle_.reset(curl_easy_init());  // before the multi handle: global set-up
    if (!multi_) multi_.reset(curl_multi_init());
    if (!handle_ || !multi_) return {};
    curl::Transfer transfer;
    curl::Prepare(handle_.get(), request, transfer);
    if (curl_multi_add_handle(multi_.get(), handle_.get()) != CURLM_OK) return {};
    const bool ended = curl::DriveUntilOneEnds(multi_.get(), 1, request.wait);
    const CURLcode code = ended ? Result() : CURLE_ABORTED_BY_CALLBACK;
    curl_multi_remove_handle(multi_.get(), handle_.get());
    if (!ended) return {};  // given up: as without connection
    return curl::Finish(handle_.get(), code, transfer);
  }

 private:
  CURLcode Result() {
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
      if (message->msg == CURLMSG_DONE) return message->data.result;
    }
    return CURLE_RECV_ERROR;
  }

  // The multi handle, and with it the open connections, goes before the easy handle.
  curl::Handle handle_;
  curl::Multi multi_;
  std::atomic<bool> busy_{false};
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
