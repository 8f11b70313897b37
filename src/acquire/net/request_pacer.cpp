#include "acquire/net/request_pacer.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace tarvelo {

namespace {

using Clock = RequestPacer::Clock;

// Checks for a cancelled wait this often while a request waits its turn.
constexpr auto kWaitSlice = std::chrono::milliseconds(10);

// Sleeps until the pacer lets a request begin, through the wait when there is
// one so that the window stays alive meanwhile; ends early when it is cancelled.
void WaitForTurn(const RequestPacer& pacer, TransferWait* wait) {
  const auto sleep = [&pacer, wait] {
    for (auto delay = pacer.Delay(Clock::now()); delay > Clock::duration::zero(); delay = pacer.Delay(Clock::now())) {
      if (wait != nullptr && wait->Cancelled()) return;
      std::this_thread::sleep_for(std::min<Clock::duration>(delay, kWaitSlice));
    }
  };
  if (pacer.Delay(Clock::now()) <= Clock::duration::zero()) return;
  if (wait == nullptr) {
    sleep();
  } else {
    wait->Run(sleep, [] {});
  }
}

}  // namespace

RequestLimits RequestPacer::limits() const {
  const std::lock_guard lock(mutex_);
  return limits_;
}

void RequestPacer::set_limits(RequestLimits limits) {
  const std::lock_guard lock(mutex_);
  limits_ = {std::max(1, limits.per_second), std::max(1, limits.in_flight)};
  while (ended_.size() > static_cast<size_t>(limits_.per_second)) ended_.pop_front();
}

int RequestPacer::Allowed(Clock::time_point now) const {
  const std::lock_guard lock(mutex_);
  return AllowedLocked(now);
}

int RequestPacer::AllowedLocked(Clock::time_point now) const {
  const auto recent = std::count_if(ended_.begin(), ended_.end(), [now](Clock::time_point at) {
    return now - at < kWindow;
  });
  return limits_.per_second - under_way_ - static_cast<int>(recent);
}

Clock::duration RequestPacer::Delay(Clock::time_point now) const {
  const std::lock_guard lock(mutex_);
  const int held_by_answers = limits_.per_second - under_way_;
  if (AllowedLocked(now) > 0 || held_by_answers <= 0) return Clock::duration::zero();
  // The places free up in the order the answers came: the next one to free is
  // the oldest of the latest `held_by_answers`.
  const auto next_free = ended_[ended_.size() - static_cast<size_t>(held_by_answers)];
  return std::max(Clock::duration::zero(), next_free + kWindow - now);
}

void RequestPacer::Begun() {
  const std::lock_guard lock(mutex_);
  ++under_way_;
}

void RequestPacer::Ended(Clock::time_point now) {
  const std::lock_guard lock(mutex_);
  under_way_ = std::max(0, under_way_ - 1);
  ended_.push_back(now);
  if (ended_.size() > static_cast<size_t>(limits_.per_second)) ended_.pop_front();
}

HttpResponse PacedHttpGetter::Get(const HttpRequest& request) {
  if (!paced_(request.url)) return inner_.Get(request);
  WaitForTurn(pacer_, request.wait);
  pacer_.Begun();
  HttpResponse response = inner_.Get(request);
  pacer_.Ended(Clock::now());
  return response;
}

void PacedBatchGetter::GetAll(std::span<const HttpRequest> requests, const BatchAnswerCallback& done) {
  std::vector<size_t> free;
  std::vector<size_t> paced;
  for (size_t i = 0; i < requests.size(); ++i) (paced_(requests[i].url) ? paced : free).push_back(i);

  // Runs the requests of `indices` through the inner getter, answering with their own indices.
  const auto run = [&](std::span<const size_t> indices, bool counted) {
    std::vector<HttpRequest> round;
    round.reserve(indices.size());
    for (size_t index : indices) round.push_back(requests[index]);
    inner_.GetAll(round, [&](size_t at, HttpResponse response) {
      if (counted) pacer_.Ended(Clock::now());
      done(indices[at], std::move(response));
    });
  };
  if (!free.empty()) run(free, false);
  TransferWait* wait = requests.empty() ? nullptr : requests.front().wait;
  for (size_t next = 0; next < paced.size();) {
    WaitForTurn(pacer_, wait);
    const auto now = Clock::now();
    const size_t count = std::min({paced.size() - next, static_cast<size_t>(pacer_.limits().in_flight),
                                   static_cast<size_t>(std::max(1, pacer_.Allowed(now)))});
    for (size_t i = 0; i < count; ++i) pacer_.Begun();
    run(std::span<const size_t>(paced).subspan(next, count), true);
    next += count;
  }
}

}  // namespace tarvelo
