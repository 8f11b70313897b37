// One libcurl transfer as both curl getters run it: the options that carry the
// connection settings, the stall watch, and the answer read back afterwards.
// Only the curl getters include this.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "acquire/net/http_getter.h"

namespace tarvelo::curl {

struct HandleDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using Handle = std::unique_ptr<CURL, HandleDeleter>;

struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using Multi = std::unique_ptr<CURLM, MultiDeleter>;

struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// What one transfer has seen; libcurl's callbacks update it, so it must stay in
// place from Prepare until Finish.
struct Transfer {
  std::string wire_url;
  std::unique_ptr<curl_slist, ListDeleter> headers;
  std::string body;
  std::chrono::steady_clock::time_point last_activity;
  std::chrono::milliseconds stall_limit{};
  bool stalled = false;
  // "scheme://host:port" of the request in lower case; a redirect elsewhere is refused.
  std::string origin;
  int header_status = 0;  // the status line of the answer whose headers are arriving
  bool redirect_refused = false;
  int64_t max_body_bytes = 0;
  bool too_large = false;
};

// Holds a getter's one turn for its life; false when another call had it.
class OneAtATime {
 public:
  explicit OneAtATime(std::atomic<bool>& busy) : busy_(busy), held_(!busy.exchange(true)) {}
  ~OneAtATime() {
    if (held_) busy_ = false;
  }
  OneAtATime(const OneAtATime&) = delete;
  OneAtATime& operator=(const OneAtATime&) = delete;
  explicit operator bool() const { return held_; }

 private:
  std::atomic<bool>& busy_;
  bool held_;
};

// Resets `handle` (its connections stay in the connection cache) and sets it up
// for `request`, recording into `transfer`.
void Prepare(CURL* handle, const HttpRequest& request, Transfer& transfer);

// The answer of a transfer that ended with `code`; takes the body.
HttpResponse Finish(CURL* handle, CURLcode code, Transfer& transfer);

// Runs the `active` transfers of `multi` until at least one has ended, through `wait`
// when there is one. False when the wait was cancelled or the multi handle failed:
// then the transfers under way are to be given up.
bool DriveUntilOneEnds(CURLM* multi, int active, TransferWait* wait);

}  // namespace tarvelo::curl
