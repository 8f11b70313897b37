// An HttpGetter and an HttpBatchGetter that answer from memory, for tests of the
// layers above the fetch.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/net/http_batch_getter.h"
#include "acquire/net/http_getter.h"

namespace tarvelo {

class FakeHttpGetter final : public HttpGetter {
 public:
  // The answer to every later request for exactly this URL.
  void Answer(std::string url, HttpResponse response);
  // A complete answer with this status and body.
  void AnswerText(std::string url, std::string body, int status = 200);
  // An answer for the next request for this URL only; queued answers go first,
  // in the order given, before the lasting one.
  void AnswerOnce(std::string url, HttpResponse response);

  // A URL without an answer gets no connection.
  HttpResponse Get(const HttpRequest& request) override;

  // Every request so far, oldest first.
  const std::vector<HttpRequest>& requests() const { return requests_; }
  std::vector<std::string> requested_urls() const;

 private:
  std::map<std::string, HttpResponse, std::less<>> answers_;
  std::map<std::string, std::deque<HttpResponse>, std::less<>> queued_;
  std::vector<HttpRequest> requests_;
};

// Answers every request of a batch through a FakeHttpGetter (which records it),
// one after the other, and remembers how many requests each batch had.
class FakeHttpBatchGetter final : public HttpBatchGetter {
 public:
  explicit FakeHttpBatchGetter(FakeHttpGetter& answers) : answers_(answers) {}

  void GetAll(std::span<const HttpRequest> requests, const BatchAnswerCallback& done) override;

  const std::vector<size_t>& batch_sizes() const { return batch_sizes_; }

 private:
  FakeHttpGetter& answers_;
  std::vector<size_t> batch_sizes_;
};

}  // namespace tarvelo
