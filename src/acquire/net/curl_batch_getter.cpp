#include <curl/curl.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include "acquire/net/curl_transfer.h"
#include "acquire/net/http_batch_getter.h"

namespace tarvelo {

namespace {

// One easy handle of the pool and the request it is carrying.
struct Slot {
  curl::Handle handle;
  curl::Transfer transfer;
  size_t index = 0;
  bool busy = false;
};

class CurlBatchGetter final : public HttpBatchGetter {
 public:
  explicit CurlBatchGetter(int parallel) : slots_(static_cast<size_t>(parallel > 0 ? parallel : 1)) {
    for (Slot& slot : slots_) slot.handle.reset(curl_easy_init());  // before the multi handle: global set-up
    multi_.reset(curl_multi_init());
    if (!multi_) return;
    curl_multi_setopt(multi_.get(), CURLMOPT_MAXCONNECTS, static_cast<long>(slots_.size()));
  }

  // The multi handle, and with it the open connections, goes before the easy handles.
  ~CurlBatchGetter() override {
    for (Slot& slot : slots_) {
      if (slot.busy) curl_multi_remove_handle(multi_.get(), slot.handle.get());
    }
  }

  void GetAll(std::span<const HttpRequest> requests, const BatchAnswerCallback& done) override {
    const curl::OneAtATime turn(busy_);
    if (!turn) {
      for (size_t index = 0; index < requests.size(); ++index) done(index, HttpResponse{});
      return;
    }
    // Every request of a batch is made with the same settings.
    TransferWait* wait = requests.empty() ? nullptr : requests.front().wait;
    size_t next = 0;
    int running = 0;
    for (Slot& slot : slots_) {
      if (next < requests.size() && Start(slot, requests, next, done)) ++running;
    }
    while (running > 0) {
      if (!curl::DriveUntilOneEnds(multi_.get(), running, wait)) {
        GiveUp(requests.size(), next, done);
        return;
      }
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg != CURLMSG_DONE) continue;
        Slot& slot = SlotOf(message->easy_handle);
        End(slot, message->data.result, done);
        --running;
        if (next < requests.size() && Start(slot, requests, next, done)) ++running;
      }
    }
  }

 private:
  // Starts the next request that can start on `slot`; a request that cannot is
  // answered at once as without connection, one past its deadline as timed
  // out. False when none is left.
  bool Start(Slot& slot, std::span<const HttpRequest> requests, size_t& next, const BatchAnswerCallback& done) {
    while (next < requests.size()) {
      const size_t index = next++;
      if (TimeAllowed(requests[index]) <= std::chrono::milliseconds(0)) {
        done(index, {TransferEnd::kTimedOut, 0, {}, std::nullopt});
        continue;
      }
      if (slot.handle && multi_) {
        slot.transfer = curl::Transfer();
        curl::Prepare(slot.handle.get(), requests[index], slot.transfer);
        curl_easy_setopt(slot.handle.get(), CURLOPT_PRIVATE, &slot);
        if (curl_multi_add_handle(multi_.get(), slot.handle.get()) == CURLM_OK) {
          slot.index = index;
          slot.busy = true;
          return true;
        }
      }
      done(index, HttpResponse{});
    }
    return false;
  }

  // Every transfer under way and every request not yet started is answered as
  // without connection.
  void GiveUp(size_t count, size_t next, const BatchAnswerCallback& done) {
    for (Slot& slot : slots_) {
      if (!slot.busy) continue;
      curl_multi_remove_handle(multi_.get(), slot.handle.get());
      slot.busy = false;
      done(slot.index, HttpResponse{});
    }
    for (; next < count; ++next) done(next, HttpResponse{});
  }

  void End(Slot& slot, CURLcode code, const BatchAnswerCallback& done) {
    curl_multi_remove_handle(multi_.get(), slot.handle.get());
    slot.busy = false;
    done(slot.index, curl::Finish(slot.handle.get(), code, slot.transfer));
  }

  static Slot& SlotOf(CURL* handle) {
    void* slot = nullptr;
    curl_easy_getinfo(handle, CURLINFO_PRIVATE, &slot);
    return *static_cast<Slot*>(slot);
  }

  std::vector<Slot> slots_;
  curl::Multi multi_;
  std::atomic<bool> busy_{false};
};

}  // namespace

std::unique_ptr<HttpBatchGetter> MakeCurlBatchGetter(int parallel) {
  return std::make_unique<CurlBatchGetter>(parallel);
}

}  // namespace tarvelo
