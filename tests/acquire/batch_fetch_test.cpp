// The libcurl batch getter against the sample service: answers, failures and
// connection settings per request, and vehicle pictures fetched side by side
// over shared connections.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>

#include "acquire/net/http_batch_getter.h"
#include "acquire/net/http_fetch.h"
#include "acquire/pictures.h"
#include "cache_test_support.h"
#include "sample_service.h"

namespace tarvelo::testing {
namespace {

class BatchFetchTest : public ::testing::Test {
 protected:
  void Start(std::string_view routes) {
    WriteBytes(root_.path() / "routes.json", routes);
    service_ = std::make_unique<SampleService>(root_.path());
    ASSERT_TRUE(service_->running()) << service_->error();
  }
  HttpRequest Request(std::string url) const {
    HttpRequest request;
    request.url = std::move(url);
    request.user_agent = "Tarvelo test";
    request.limits.stall_limit = std::chrono::milliseconds(1000);
    return request;
  }
  std::map<size_t, HttpResponse> GetAll(const std::vector<HttpRequest>& requests) {
    std::map<size_t, HttpResponse> answers;
    getter_->GetAll(requests, [&](size_t index, HttpResponse response) {
      EXPECT_TRUE(answers.emplace(index, std::move(response)).second) << "answered twice: " << index;
    });
    EXPECT_EQ(answers.size(), requests.size());
    return answers;
  }
  static size_t MaxInFlight(const std::vector<LoggedRequest>& log) { return static_cast<size_t>(MostInFlight(log)); }

  ScratchFolder root_;
  std::unique_ptr<SampleService> service_;
  std::unique_ptr<HttpBatchGetter> getter_ = MakeCurlBatchGetter();
};

TEST_F(BatchFetchTest, EveryRequestGetsItsOwnAnswerWithTheSettingsItCarries) {
  Start(R"j({"routes": [
    {"path": "/ok", "require_headers": {"User-Agent": "Tarvelo test"}, "body": "fine"},
    {"path": "/header", "require_headers": {"X-Requested-With": "XMLHttpRequest"}, "body": "with header"},
    {"path": "/via-proxy", "body": "proxied"},
    {"path": "/gone", "status": 404, "body": "not here"},
    {"path": "/half", "fault": "half", "body": "0123456789"},
    {"path": "/close", "fault": "close"},
    {"path": "/stall", "fault": "stall", "body": "0123456789"}
  ]})j");
  const RefusingPort refusing;
  std::vector<HttpRequest> requests = {Request(service_->url("/ok")), Request(service_->url("/header")),
                                       Request(refusing.url("/via-proxy")), Request(service_->url("/gone")),
                                       Request(service_->url("/half")), Request(service_->url("/close")),
                                       Request(refusing.url("/ok")), Request(service_->url("/stall"))};
  requests[1].extra_header = kXmlHttpRequestHeader;
  requests[2].proxy = ProxyFromSetting(service_->url());
  requests[6].proxy = ProxyFromSetting("noproxy");
  const auto start = std::chrono::steady_clock::now();
  const std::map<size_t, HttpResponse> answers = GetAll(requests);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));  // the stall limit ended the stall
  struct Expected {
    TransferEnd end;
    int status;
    std::string body;
  };
  const Expected expected[] = {
      {TransferEnd::kComplete, 200, "fine"},       {TransferEnd::kComplete, 200, "with header"},
      {TransferEnd::kComplete, 200, "proxied"},    {TransferEnd::kComplete, 404, "not here"},
      {TransferEnd::kInterrupted, 200, "01234"},   {TransferEnd::kNoConnection, 0, ""},
      {TransferEnd::kNoConnection, 0, ""},         {TransferEnd::kTimedOut, 200, "01234"},
  };
  for (size_t i = 0; i < requests.size(); ++i) {
    const HttpResponse& answer = answers.at(i);
    EXPECT_EQ(answer.end, expected[i].end) << requests[i].url;
    EXPECT_EQ(answer.status, expected[i].status) << requests[i].url;
    EXPECT_EQ(answer.body, expected[i].body) << requests[i].url;
  }
  // The getter is ready for the next batch, and an empty one returns at once.
  EXPECT_EQ(GetAll({Request(service_->url("/ok"))}).at(0).body, "fine");
  EXPECT_TRUE(GetAll({}).empty());
}

// A getter runs one batch at a time: a batch asked for while another is under
// way (here from an answer of the first) is answered as without connection,
// and the batch under way goes on undisturbed.
TEST_F(BatchFetchTest, ABatchWithinABatchIsRefusedAndTheFirstGoesOn) {
  Start(R"j({"routes": [{"path": "/ok", "body": "fine"}]})j");
  std::map<size_t, HttpResponse> inner;
  std::map<size_t, std::string> outer;
  const std::vector<HttpRequest> requests = {Request(service_->url("/ok")), Request(service_->url("/ok"))};
  getter_->GetAll(requests, [&](size_t index, HttpResponse response) {
    outer[index] = response.body;
    if (index != 0) return;
    getter_->GetAll(requests, [&](size_t at, HttpResponse refused) { inner.emplace(at, std::move(refused)); });
  });
  EXPECT_EQ(outer, (std::map<size_t, std::string>{{0, "fine"}, {1, "fine"}}));
  ASSERT_EQ(inner.size(), 2u);
  for (const auto& [index, answer] : inner) EXPECT_EQ(answer.end, TransferEnd::kNoConnection) << index;
  EXPECT_EQ(service_->requests().size(), 2u);
  EXPECT_EQ(GetAll(requests).at(1).body, "fine");  // and the next batch runs
}

// A first look at a player whose pictures are all missing: every picture is
// asked for once, a few at a time, over connections that carry many requests.
TEST_F(BatchFetchTest, VehiclePicturesArriveSideBySideOverReusedConnections) {
  Start(R"j({"routes": [
    {"path": "/static/contour/", "folder": "pictures", "delay_ms": 20}
  ]})j");
  constexpr int kPictures = 40;
  AVehicleStats vehicles;
  for (int i = 0; i < kPictures + 2; ++i) {
    const std::string name = "tank-" + std::to_string(i) + ".png";
    if (i < kPictures) WriteBytes(root_.path() / "pictures" / name, "PNG " + name);
    RVehicleStat vehicle;
    vehicle.Images = "http://api.worldoftanks.ru/static/contour/" + name;
    vehicles.push_back(vehicle);
    vehicles.push_back(vehicle);
  }
  const FixedClock clock("2016-12-05T15:00:00");
  const TempFolder folder;
  HttpBatchFetch fetch(*getter_);
  const UrlSettings urls = MakeUrlSettings(service_->hosts(), "ru", "");
  const PictureRefresh refresh =
      RefreshVehiclePictures(testing::TestDisk(), fetch, vehicles, folder.path(), urls, EncodeDateTime(2016, 12, 5, 15, 0, 0));

  EXPECT_EQ(refresh.requested, kPictures + 2u);
  EXPECT_EQ(refresh.stored, static_cast<size_t>(kPictures));
  for (int i = 0; i < kPictures + 2; ++i) {
    const std::string name = "tank-" + std::to_string(i) + ".png";
    EXPECT_EQ(ReadBytes(folder / name), i < kPictures ? "PNG " + name : "") << name;
  }
  EXPECT_EQ(NamesIn(folder.path()).size(), static_cast<size_t>(kPictures));

  const std::vector<LoggedRequest> log = service_->requests();
  ASSERT_EQ(log.size(), kPictures + 2u);
  std::map<int, int> per_connection;
  std::set<std::string> targets;
  for (const LoggedRequest& request : log) {
    ++per_connection[request.connection];
    targets.insert(request.target);
  }
  EXPECT_EQ(targets.size(), log.size());  // no picture asked for twice
  EXPECT_LE(per_connection.size(), static_cast<size_t>(kParallelTransfers));
  EXPECT_GT(log.size() / per_connection.size(), 2u);  // each connection carried several requests
  EXPECT_GT(MaxInFlight(log), 1u);
  EXPECT_LE(MaxInFlight(log), static_cast<size_t>(kParallelTransfers));

  // The next page reuses the open connections.
  ASSERT_TRUE(std::filesystem::remove(folder / "tank-0.png"));
  EXPECT_EQ(RefreshVehiclePictures(testing::TestDisk(), fetch, vehicles, folder.path(), urls, EncodeDateTime(2016, 12, 5, 15, 1, 0)).stored,
            1u);
  const std::vector<LoggedRequest> later = service_->requests();
  ASSERT_EQ(later.size(), log.size() + 3);  // the removed one and the two never served
  EXPECT_TRUE(per_connection.contains(later.back().connection));
}

// A deadline ends a transfer under way whatever its other limits, and a
// request that would begin after it is not made.
TEST_F(BatchFetchTest, ADeadlineEndsTransfersAndStopsLaterOnes) {
  Start(R"j({"routes": [
    {"path": "/stall", "fault": "stall", "body": "0123456789"},
    {"path": "/ok", "body": "fine"}
  ]})j");
  const auto start = std::chrono::steady_clock::now();
  std::vector<HttpRequest> requests = {Request(service_->url("/stall")), Request(service_->url("/ok")),
                                       Request(service_->url("/ok"))};
  for (HttpRequest& request : requests) request.limits.stall_limit = std::chrono::seconds(60);
  requests[0].deadline = start + std::chrono::milliseconds(500);
  requests[1].deadline = start - std::chrono::milliseconds(1);
  const std::map<size_t, HttpResponse> answers = GetAll(requests);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(answers.at(0).end, TransferEnd::kTimedOut);
  EXPECT_EQ(answers.at(1).end, TransferEnd::kTimedOut);
  EXPECT_EQ(answers.at(2).body, "fine");

  const std::unique_ptr<HttpGetter> one_at_a_time = MakeCurlHttpGetter();
  EXPECT_EQ(one_at_a_time->Get(requests[1]).end, TransferEnd::kTimedOut);
  requests[0].deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  EXPECT_EQ(one_at_a_time->Get(requests[0]).end, TransferEnd::kTimedOut);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
  std::vector<std::string> targets = service_->targets();
  std::sort(targets.begin(), targets.end());
  EXPECT_EQ(targets, (std::vector<std::string>{"/ok", "/stall", "/stall"})) << "the late ones were not made";
}

}  // namespace
}  // namespace tarvelo::testing
