#include "acquire/fake_http_getter.h"

#include <utility>

namespace tarvelo {

void FakeHttpGetter::Answer(std::string url, HttpResponse response) {
  answers_.insert_or_assign(std::move(url), std::move(response));
}

void FakeHttpGetter::AnswerText(std::string url, std::string body, int status) {
  HttpResponse response;
  response.end = TransferEnd::kComplete;
  response.status = status;
  response.body = std::move(body);
  Answer(std::move(url), std::move(response));
}

void FakeHttpGetter::AnswerOnce(std::string url, HttpResponse response) {
  queued_[std::move(url)].push_back(std::move(response));
}

HttpResponse FakeHttpGetter::Get(const HttpRequest& request) {
  requests_.push_back(request);
  if (const auto queue = queued_.find(request.url); queue != queued_.end() && !queue->second.empty()) {
    HttpResponse response = std::move(queue->second.front());
    queue->second.pop_front();
    return response;
  }
  const auto found = answers_.find(request.url);
  return found == answers_.end() ? HttpResponse{} : found->second;
}

std::vector<std::string> FakeHttpGetter::requested_urls() const {
  std::vector<std::string> urls;
  urls.reserve(requests_.size());
  for (const HttpRequest& request : requests_) urls.push_back(request.url);
  return urls;
}

void FakeHttpBatchGetter::GetAll(std::span<const HttpRequest> requests, const BatchAnswerCallback& done) {
  batch_sizes_.push_back(requests.size());
  for (size_t i = 0; i < requests.size(); ++i) done(i, answers_.Get(requests[i]));
}

}  // namespace tarvelo
