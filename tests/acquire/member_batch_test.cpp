// Fetching a clan's members ahead: the answers for several accounts split back
// into each account's own answer, the sample service's multi-id answers, and
// the pacer that keeps every request to the API within the limits.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "acquire/net/http_fetch.h"
#include "acquire/member_batch.h"
#include "acquire/net/request_pacer.h"
#include "sample_service.h"

namespace tarvelo::testing {
namespace {

using namespace std::chrono_literals;

const std::vector<std::string> kIds{"1", "22", "333", "4444"};

TEST(SplitMultiIdAnswerTest, EachAccountGetsItsObjectAsWrittenInTheSingleAccountEnvelope) {
  // Braces, quotes and commas inside strings, nested arrays, a null and a number.
  const std::string answer =
      R"({"status":"ok","meta":{"count":4},"data":{"1":{"nickname":"a}\"{,b","list":[{"x":[1,2]},{}]},)"
      R"("22":null,"333":{"clan":{"tag":"T"},"role":"x"},"4444":5}})";
  const auto split = SplitMultiIdAnswer(answer, kIds);
  ASSERT_EQ(split.size(), 2u);
  EXPECT_EQ(split.at("1"),
            R"({"status":"ok","meta":{"count":1},"data":{"1":{"nickname":"a}\"{,b","list":[{"x":[1,2]},{}]}}})");
  EXPECT_EQ(split.at("333"), R"({"status":"ok","meta":{"count":1},"data":{"333":{"clan":{"tag":"T"},"role":"x"}}})");
  // Only the ids asked for, even when the answer holds more.
  EXPECT_EQ(SplitMultiIdAnswer(answer, std::vector<std::string>{"333"}).size(), 1u);
}

TEST(SplitMultiIdAnswerTest, AnswersNotInThePublishersLayoutGiveNothing) {
  for (const std::string& answer : {
           std::string(R"({"status":"error","error":{"code":504,"message":"SOURCE_NOT_AVAILABLE"}})"),
           std::string(R"({"status":"ok","data":{"1":{"a":1}}})"),                        // no count
           std::string(R"({"status":"ok","meta":{"count":1},"data":{"1":{"a":1}}}trailing)"),
           std::string(R"({"status":"ok","meta":{"count":1},"data":{"1":{"a":1})"),       // cut off
           std::string(R"({"status":"ok","meta":{"count":1},"data":{"1":{"a":"x}}}})"),   // open string
           std::string(R"({"status":"ok","meta":{"count":1},"data":{"1":{"a":tru}}})"),   // not JSON inside
           std::string(R"({"status": "ok", "meta": {"count": 1}, "data": {"1": {"a": 1}}})"),
           std::string("Ошибка соединения"),
       }) {
    EXPECT_TRUE(SplitMultiIdAnswer(answer, kIds).empty()) << answer;
  }
}

TEST(RequestPacerTest, ARequestHoldsItsPlaceUntilASecondAfterItsAnswer) {
  RequestPacer pacer({3, 2});
  const auto start = RequestPacer::Clock::time_point{} + 100s;
  EXPECT_EQ(pacer.Allowed(start), 3);
  pacer.Begun();
  pacer.Begun();
  EXPECT_EQ(pacer.Allowed(start), 1) << "requests under way hold their places";
  pacer.Ended(start + 100ms);
  pacer.Ended(start + 300ms);
  pacer.Begun();
  pacer.Ended(start + 400ms);
  EXPECT_EQ(pacer.Allowed(start + 500ms), 0);
  // The first answer's place frees a second after it came (and a little margin).
  const auto delay = pacer.Delay(start + 500ms);
  EXPECT_GE(delay, 600ms);
  EXPECT_LT(delay, 650ms);
  EXPECT_EQ(pacer.Allowed(start + 500ms + delay), 1);
  EXPECT_EQ(pacer.Delay(start + 500ms + delay), 0ms);
  EXPECT_EQ(pacer.Allowed(start + 3s), 3);
  // With a place held by a request under way the next to free is the second answer's.
  pacer.Begun();
  EXPECT_GE(pacer.Delay(start + 500ms), 800ms);
  // Lowering the limit keeps the latest answers only; limits below 1 count as 1.
  pacer.Ended(start + 600ms);
  pacer.set_limits({0, 0});
  EXPECT_EQ(pacer.limits().per_second, 1);
  EXPECT_EQ(pacer.limits().in_flight, 1);
  EXPECT_EQ(pacer.Allowed(start + 1s), 0);
  EXPECT_GE(pacer.Delay(start + 1s), 600ms) << "the answer at 600 ms still counts";
}

class PacedFetchTest : public ::testing::Test {
 protected:
  void Start(std::string_view routes) {
    WriteBytes(root_.path() / "routes.json", routes);
    service_ = std::make_unique<SampleService>(root_.path());
    ASSERT_TRUE(service_->running()) << service_->error();
  }
  static bool Paced(std::string_view url) { return url.find("/wot/") != std::string_view::npos; }

  ScratchFolder root_;
  std::unique_ptr<SampleService> service_;
  RequestPacer pacer_{{5, 2}};
  std::unique_ptr<HttpGetter> single_ = MakeCurlHttpGetter();
  std::unique_ptr<HttpBatchGetter> batch_ = MakeCurlBatchGetter();
  PacedHttpGetter paced_single_{*single_, pacer_, Paced};
  PacedBatchGetter paced_batch_{*batch_, pacer_, Paced};
};

TEST_F(PacedFetchTest, SingleAndBatchedRequestsShareTheLimitsOtherAddressesAreFree) {
  Start(R"j({"routes": [
    {"path": "/wot/a", "body": "a", "delay_ms": 60},
    {"path": "/static/p", "body": "p", "delay_ms": 60}
  ]})j");
  std::vector<std::string> urls;
  for (int i = 0; i < 7; ++i) urls.push_back(service_->url("/wot/a?n=" + std::to_string(i)));
  for (int i = 0; i < 4; ++i) urls.push_back(service_->url("/static/p?n=" + std::to_string(i)));
  HttpFetch single(paced_single_);
  HttpBatchFetch batch(paced_batch_);
  size_t answered = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(single.GetUrlText(service_->url("/wot/a?first")), "a");
  batch.GetUrlBodies(urls, [&](size_t index, std::optional<std::string> body) {
    ++answered;
    EXPECT_EQ(body.value_or(""), index < 7 ? "a" : "p") << index;
  });
  EXPECT_EQ(single.GetUrlText(service_->url("/wot/a?last")), "a");
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(answered, urls.size());

  std::vector<LoggedRequest> api;
  int pictures_in_flight = 0;
  for (const LoggedRequest& request : service_->requests()) {
    if (request.target.starts_with("/wot/")) {
      api.push_back(request);
    } else {
      pictures_in_flight = std::max(pictures_in_flight, request.in_flight);
    }
  }
  ASSERT_EQ(api.size(), 9u);
  EXPECT_LE(MostInOneSecond(api), 5);
  EXPECT_EQ(MostInFlight(api), 2);
  EXPECT_EQ(pictures_in_flight, 4) << "addresses that are not paced go all at once";
  // Nine requests at five a second: the last ones wait a second after the first answers.
  EXPECT_GE(took, 1s);
  EXPECT_LT(took, 3s);
}

TEST_F(PacedFetchTest, TheSampleServiceAnswersForSeveralAccountsFromTheirOwnAnswers) {
  Start(R"j({"routes": [
    {"path": "/wot/account/info/", "query": {"account_id": "1"}, "body": "{\"status\":\"ok\",\"meta\":{\"count\":1},\"data\":{\"1\":{\"n\":\"a\"}}}"},
    {"path": "/wot/account/info/", "query": {"account_id": "2"}, "body": "{\"status\":\"error\",\"error\":{\"code\":504}}"},
    {"path": "/wot/account/info/", "query": {"account_id": "3"}, "in_batch": false, "body": "{\"status\":\"ok\",\"meta\":{\"count\":1},\"data\":{\"3\":{\"n\":\"c\"}}}"},
    {"path": "/wot/account/info/", "query": {"account_id": "5"}, "delay_ms": 300, "body": "{\"status\":\"ok\",\"meta\":{\"count\":1},\"data\":{\"5\":{\"n\":[\"e\"]}}}"}
  ]})j");
  HttpFetch fetch(*single_);
  const auto start = std::chrono::steady_clock::now();
  const std::string answer = fetch.GetUrlText(service_->url("/wot/account/info/?account_id=5,4,3,2,1"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms) << "the longest delay of the accounts";
  EXPECT_EQ(answer, R"({"status":"ok","meta":{"count":4},"data":{"5":{"n":["e"]},"4":null,"2":null,"1":{"n":"a"}}})");
  const auto split = SplitMultiIdAnswer(answer, std::vector<std::string>{"1", "2", "3", "4", "5"});
  ASSERT_EQ(split.size(), 2u);
  EXPECT_EQ(split.at("1"), fetch.GetUrlText(service_->url("/wot/account/info/?account_id=1")))
      << "byte for byte the single account's answer";
  EXPECT_EQ(split.at("5"), fetch.GetUrlText(service_->url("/wot/account/info/?account_id=5")));
}

TEST_F(PacedFetchTest, AFaultCanBeLimitedToTheFirstAnswers) {
  Start(R"j({"routes": [{"path": "/wot/v", "fault": "garbage", "fault_times": 2, "body": "good"}]})j");
  HttpFetch fetch(*single_);
  std::vector<std::string> bodies;
  for (int i = 0; i < 4; ++i) bodies.push_back(fetch.GetUrlText(service_->url("/wot/v")));
  EXPECT_NE(bodies[0], "good");
  EXPECT_EQ(bodies[0], bodies[1]);
  EXPECT_EQ(bodies[2], "good");
  EXPECT_EQ(bodies[3], "good");
  const auto log = service_->requests();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[1].outcome, "200 garbage");
  EXPECT_EQ(log[2].outcome, "200");
}

}  // namespace
}  // namespace tarvelo::testing
