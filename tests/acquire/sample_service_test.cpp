// The sample API service itself: the end-to-end tests rely on its route matching.
#include "sample_service.h"

#include <gtest/gtest.h>

#include <memory>

#include "acquire/net/http_fetch.h"

namespace tarvelo::testing {
namespace {

class SampleServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(root_.path() / "routes.json", R"j({"routes": [
      {"path": "/wot/account/info/", "query": {"account_id": "5", "fields": "*"}, "body": "info 5"},
      {"path": "/wot/account/info/", "query": {"account_id": "5"}, "body": "info 5 without fields"},
      {"path": "/wot/account/info/", "body": "any other info"},
      {"path": "/wot/account/list/", "query": {}, "body": "list without query"},
      {"path": "/site/Tarvelo.exe", "file": "site/Tarvelo.exe"},
      {"path": "/site/lost.png", "file": "site/lost.png"},
      {"path": "/Пётр", "status": 404, "body": "decoded path"},
      {"path": "/hang-up", "fault": "close"},
      {"path": "/static/", "folder": "pictures", "status": 203}
    ]})j");
    WriteBytes(root_.path() / "site/Tarvelo.exe", std::string("MZ\0\1", 4));
    WriteBytes(root_.path() / "pictures/t-34.png", "T34");
    WriteBytes(root_.path() / "pictures/contour/kv-1.png", "KV1");
    WriteBytes(root_.path() / "secret.txt", "secret");
    service_ = std::make_unique<SampleService>(root_.path());
    ASSERT_TRUE(service_->running()) << service_->error();
  }
  std::string Get(std::string_view path) { return fetch_.GetUrlText(service_->url(path)); }

  ScratchFolder root_;
  std::unique_ptr<SampleService> service_;
  std::unique_ptr<HttpGetter> getter_ = MakeCurlHttpGetter();
  HttpFetch fetch_{*getter_};
};

TEST_F(SampleServiceTest, MatchesQueryKeysInAnyOrderWithoutTheApplicationId) {
  EXPECT_EQ(Get("/wot/account/info/?fields=a,b&application_id=x&account_id=5"), "info 5");
  EXPECT_EQ(Get("/wot/account/info/?account_id=5"), "info 5 without fields");
  EXPECT_EQ(Get("/wot/account/info/?application_id=demo&account_id=5"), "info 5 without fields");
  EXPECT_EQ(Get("/wot/account/info/?account_id=6&fields=a"), "any other info");
  EXPECT_EQ(Get("/wot/account/info/?account_id=5&fields=a&extra=b"), "any other info");
  EXPECT_EQ(Get("/wot/account/list/?application_id=demo"), "list without query");
  EXPECT_EQ(Get("/wot/account/list/?search=x"), "sample service: no route for /wot/account/list/?search=x\n");
}

TEST_F(SampleServiceTest, ServesFilesAndDecodesThePath) {
  EXPECT_EQ(Get("/site/Tarvelo.exe?account=Tester"), std::string("MZ\0\1", 4));
  EXPECT_EQ(Get("/site/lost.png"), "sample service: cannot read site/lost.png\n");
  EXPECT_EQ(Get("/%D0%9F%D1%91%D1%82%D1%80"), "decoded path");
  const std::vector<LoggedRequest> requests = service_->requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].target, "/site/Tarvelo.exe?account=Tester");
  EXPECT_EQ(requests[1].outcome, "500");
  EXPECT_EQ(requests[2].target, "/Пётр");
  EXPECT_EQ(requests[2].outcome, "404");
}

TEST_F(SampleServiceTest, AFolderRouteServesTheFilesUnderItsPrefixOnly) {
  const HttpRequest request{.url = service_->url("/static/contour/kv-1.png"),
                            .extra_header = {}, .user_agent = {}, .proxy = {}, .limits = {}, .ca_file = {}};
  const HttpResponse answer = getter_->Get(request);
  EXPECT_EQ(answer.status, 203);  // the route's other members apply
  EXPECT_EQ(answer.body, "KV1");
  EXPECT_EQ(Get("/static/t-34.png"), "T34");
  for (const char* path : {"/static/missing.png", "/static/", "/static/contour", "/static/%2E%2E/secret.txt",
                           "/static/contour/%2E%2E/%2E%2E/secret.txt", "/static//t-34.png", "/static/%2E/t-34.png"}) {
    EXPECT_TRUE(Get(path).starts_with("sample service: no file for /static/")) << path;
  }
  EXPECT_EQ(Get("/staticx/t-34.png"), "sample service: no route for /staticx/t-34.png\n");
}

// One client keeps its connection from request to request until a fault or the
// client itself ends it.
TEST_F(SampleServiceTest, AConnectionCarriesRequestsUntilAFaultOrTheClientEndsIt) {
  Get("/static/t-34.png");
  Get("/Пётр");  // an error status keeps the connection too
  Get("/hang-up");
  Get("/static/t-34.png");
  fetch_.GetUrlTextWithHeader(service_->url("/static/t-34.png"), "Connection: close");
  Get("/static/t-34.png");
  std::vector<int> connections;
  for (const LoggedRequest& request : service_->requests()) {
    if (request.target != "/hang-up") connections.push_back(request.connection);
    EXPECT_EQ(request.in_flight, 1) << request.target;
  }
  ASSERT_EQ(connections.size(), 5u);
  EXPECT_EQ(connections[0], connections[1]);
  EXPECT_NE(connections[2], connections[1]);  // after the fault
  EXPECT_EQ(connections[3], connections[2]);
  EXPECT_NE(connections[4], connections[3]);  // after "Connection: close"
}

TEST_F(SampleServiceTest, ABrokenRoutesFileIsReportedOnEveryRequest) {
  WriteBytes(root_.path() / "routes.json", R"({"routes": [{"path": "/x", "fault": "explode"}]})");
  EXPECT_EQ(Get("/x"), "sample service: " + (root_.path() / "routes.json").string() +
                           ": route /x: unknown fault \"explode\"\n");
}

TEST(SampleServiceStartTest, AMissingRoutesFileStopsTheServiceAtOnce) {
  const ScratchFolder empty_root;
  const SampleService service(empty_root.path());
  EXPECT_FALSE(service.running());
  EXPECT_NE(service.error().find("printed no port"), std::string::npos) << service.error();
}

}  // namespace
}  // namespace tarvelo::testing
