// Keeps the program's requests to the publisher's API within what the publisher
// allows: a number of requests begun in any one second, and a number under way
// at once. The paced getters put every request of the program that goes to the
// paced addresses through one pacer.
//
// A request holds its place from its start until a second after its answer
// came. The server reads a request before it answers it, so however late it
// reads one and however early the next, no second of the server's sees more
// requests than the limit.
//
// Threads: the pacer is shared by every getter of the program and any thread
// may call any of its members; a lock guards its state. (A paced request waits
// for its turn on the transfer worker of the window while the window's own
// thread goes on.) A paced getter is used as its inner getter may be.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <functional>
#include <string_view>
#include <utility>

#include "acquire/net/http_batch_getter.h"
#include "acquire/net/http_getter.h"

namespace tarvelo {

struct RequestLimits {
  int per_second = 10;
  int in_flight = 4;
};

class RequestPacer {
 public:
  using Clock = std::chrono::steady_clock;

  explicit RequestPacer(RequestLimits limits = {}) { set_limits(limits); }

  RequestLimits limits() const;
  // Limits below 1 count as 1.
  void set_limits(RequestLimits limits);

  // How many requests may begin at `now`.
  int Allowed(Clock::time_point now) const;
  // How long after `now` the next request may begin; zero when it may at once,
  // and also when only requests under way hold the places.
  Clock::duration Delay(Clock::time_point now) const;
  void Begun();
  void Ended(Clock::time_point now);

 private:
  // The second after an answer, and a little for the log's rounding to milliseconds.
  static constexpr auto kWindow = std::chrono::milliseconds(1005);

  int AllowedLocked(Clock::time_point now) const;

  mutable std::mutex mutex_;
  RequestLimits limits_;
  int under_way_ = 0;
  std::deque<Clock::time_point> ended_;  // the latest answers, oldest first, at most per_second of them
};

// Whether a request to this address is paced.
using PacedAddress = std::function<bool(std::string_view url)>;

// Requests to paced addresses wait their turn, one at a time.
class PacedHttpGetter final : public HttpGetter {
 public:
  PacedHttpGetter(HttpGetter& inner, RequestPacer& pacer, PacedAddress paced)
      : inner_(inner), pacer_(pacer), paced_(std::move(paced)) {}
  HttpResponse Get(const HttpRequest& request) override;

 private:
  HttpGetter& inner_;
  RequestPacer& pacer_;
  PacedAddress paced_;
};

// Requests to paced addresses go in rounds of as many as the pacer allows at
// the time, never more than its in-flight limit; the others go all at once.
class PacedBatchGetter final : public HttpBatchGetter {
 public:
  PacedBatchGetter(HttpBatchGetter& inner, RequestPacer& pacer, PacedAddress paced)
      : inner_(inner), pacer_(pacer), paced_(std::move(paced)) {}
  void GetAll(std::span<const HttpRequest> requests, const BatchAnswerCallback& done) override;

 private:
  HttpBatchGetter& inner_;
  RequestPacer& pacer_;
  PacedAddress paced_;
};

}  // namespace tarvelo
