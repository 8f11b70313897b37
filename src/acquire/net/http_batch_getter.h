// The transport for many GETs at once: a few transfers side by side over a
// shared cache of open connections, so that one connection carries many
// requests. The real getter uses libcurl's multi interface
// (curl_batch_getter.cpp); FakeHttpBatchGetter answers from memory for tests.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>

#include "acquire/net/http_getter.h"

namespace tarvelo {

// Transfers side by side, and connections kept open for reuse: the most
// browsers allow themselves per host. At 50 ms a request, 300 pictures take
// about 2 s this way (6 at once: 2.6 s; one after the other: 15 s).
inline constexpr int kParallelTransfers = 8;

// Called with the index of a request and its answer.
using BatchAnswerCallback = std::function<void(size_t index, HttpResponse response)>;

class HttpBatchGetter {
 public:
  virtual ~HttpBatchGetter() = default;
  // Runs every request and returns when all have ended. `done` is called on the
  // calling thread once per request, as each one ends.
  virtual void GetAll(std::span<const HttpRequest> requests, const BatchAnswerCallback& done) = 0;
};

// The libcurl batch getter: at most `parallel` transfers at once. Its open
// connections outlive a batch, for the next one. It has one owner, whose thread
// calls GetAll one batch at a time: the transfers may be driven on the wait's
// worker meanwhile, `done` comes back on the owner's thread. A GetAll while
// another is under way (from within a `done`, or from another thread) is not
// run: its requests are answered as without connection.
std::unique_ptr<HttpBatchGetter> MakeCurlBatchGetter(int parallel = kParallelTransfers);

}  // namespace tarvelo
