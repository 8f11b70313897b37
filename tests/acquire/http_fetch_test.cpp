#include "acquire/net/http_fetch.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "acquire/fake_http_getter.h"
#include "sample_service.h"
#include "text/debug_log.h"

namespace tarvelo {
namespace {

using testing::ReadBytes;
using testing::RefusingPort;
using testing::SampleService;
using testing::ScratchFolder;
using testing::WriteBytes;


// Sets an environment variable for the lifetime of the object.
class EnvironmentOverride {
 public:
  EnvironmentOverride(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~EnvironmentOverride() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class HttpFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Routes(R"j({"routes": []})j");
    service_ = std::make_unique<SampleService>(root_.path());
    ASSERT_TRUE(service_->running()) << service_->error();
  }

  // The service reads its routes file on every request.
  void Routes(std::string_view json) { WriteBytes(root_.path() / "routes.json", json); }
  std::string Url(std::string_view path) const { return service_->url(path); }
  void LimitStallTo(std::chrono::milliseconds stall) {
    ConnectionSettings settings = fetch_.settings();
    settings.limits.stall_limit = stall;
    fetch_.set_settings(settings);
  }

  ScratchFolder root_;
  std::unique_ptr<SampleService> service_;
  std::unique_ptr<HttpGetter> getter_ = MakeCurlHttpGetter();
  HttpFetch fetch_{*getter_};
};

TEST_F(HttpFetchTest, ReturnsTheBodyOfAnAnswerAndRecordsTheRequest) {
  Routes(R"j({"routes": [{"path": "/wot/account/list/", "query": {"search": "Tester", "limit": "1"},
             "require_headers": {"User-Agent": "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.0)"},
             "body": "{\"status\":\"ok\",\"data\":[]}"}]})j");
  EXPECT_EQ(fetch_.GetUrlText(Url("/wot/account/list/?limit=1&application_id=demo&search=Tester")),
            "{\"status\":\"ok\",\"data\":[]}");
  ASSERT_EQ(service_->requests().size(), 1u);
  EXPECT_EQ(service_->requests()[0].method, "GET");
  EXPECT_EQ(service_->requests()[0].target, "/wot/account/list/?limit=1&application_id=demo&search=Tester");
  EXPECT_EQ(service_->requests()[0].outcome, "200");
}

TEST_F(HttpFetchTest, ReturnsAnErrorPageLikeAnyOtherBody) {
  Routes(R"j({"routes": [{"path": "/broken", "status": 500, "body": "<html>Internal error</html>"}]})j");
  EXPECT_EQ(fetch_.GetUrlText(Url("/broken")), "<html>Internal error</html>");
  EXPECT_EQ(fetch_.GetUrlText(Url("/nothing-here")), "sample service: no route for /nothing-here\n");
}

TEST_F(HttpFetchTest, NoAnswerGivesExactlyTheConnectionErrorText) {
  const RefusingPort refusing;
  const std::string url = refusing.url("/wot/account/info/?account_id=1");
  const std::string text = fetch_.GetUrlText(url);
  EXPECT_EQ(text, "ОШИБКА: Не удалось соединиться с сервером " + HostOf(url) +
                      ". Проверьте подключение к сети и настройки прокси.");
  EXPECT_EQ(ConnectionErrorText(url), text);
  EXPECT_TRUE(IsConnectionErrorText(text));
  EXPECT_FALSE(IsConnectionErrorText("{\"status\":\"ok\"}"));
  EXPECT_EQ(fetch_.GetUrlTextWithHeader(url, kXmlHttpRequestHeader), text);

  Routes(R"j({"routes": [{"path": "/hang-up", "fault": "close"}]})j");
  EXPECT_EQ(fetch_.GetUrlText(Url("/hang-up")), ConnectionErrorText(Url("/hang-up")));
  EXPECT_EQ(service_->requests().back().outcome, "close");
}

// Runs every step on a thread of its own, as a window does, and gives up after
// `cancel_after` when that is set.
class ThreadWait final : public TransferWait {
 public:
  explicit ThreadWait(std::optional<std::chrono::milliseconds> cancel_after = std::nullopt)
      : cancel_after_(cancel_after) {}
  void Run(const std::function<void()>& step, const std::function<void()>& wake) override {
    ++runs;
    std::thread worker(step);
    if (cancel_after_) {
      std::this_thread::sleep_for(*cancel_after_);
      cancelled_ = true;
      wake();
    }
    worker.join();
  }
  bool Cancelled() const override { return cancelled_; }
  int runs = 0;

 private:
  std::optional<std::chrono::milliseconds> cancel_after_;
  std::atomic<bool> cancelled_{false};
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(HttpFetchTest, TransfersRunThroughTheWaitAndACancelledOneEndsAtOnce) {
  Routes(R"j({"routes": [{"path": "/slow", "body": "late", "delay_ms": 5000},
                        {"path": "/quick", "body": "quick"}]})j");
  ThreadWait wait;
  ConnectionSettings settings;
  settings.wait = &wait;
  fetch_.set_settings(settings);
  EXPECT_EQ(fetch_.GetUrlText(Url("/quick")), "quick");
  EXPECT_EQ(fetch_.GetUrlText(Url("/quick")), "quick");  // the kept connection, through the wait again
  EXPECT_EQ(wait.runs, 2);

  for (bool batch : {false, true}) {
    ThreadWait cancelling(std::chrono::milliseconds(300));
    HttpRequest request;
    request.url = Url("/slow");
    request.wait = &cancelling;
    const auto start = std::chrono::steady_clock::now();
    std::vector<TransferEnd> ends;
    if (batch) {
      const std::vector<HttpRequest> requests(3, request);  // two start, one waits for a slot
      MakeCurlBatchGetter(2)->GetAll(requests, [&](size_t, HttpResponse answer) { ends.push_back(answer.end); });
    } else {
      ends.push_back(getter_->Get(request).end);
    }
    EXPECT_LT(SecondsSince(start), 1.5) << "batch " << batch;
    EXPECT_EQ(ends, std::vector<TransferEnd>(batch ? 3 : 1, TransferEnd::kNoConnection)) << "batch " << batch;
    // Once cancelled, nothing more goes out.
    EXPECT_EQ(getter_->Get(request).end, TransferEnd::kNoConnection);
  }
}

TEST(HttpAddressTest, HostsAndMaskedApplicationIds) {
  struct Case {
    std::string_view url, host, masked;
  };
  const Case cases[] = {
      {"https://api.example.ru/wot/account/list/?application_id=5c3e9a&search=A", "api.example.ru",
       "https://api.example.ru/wot/account/list/?application_id=…&search=A"},
      {"http://user:pw@127.0.0.1:8089/x?a=1&application_id=demo", "127.0.0.1:8089",
       "http://user:pw@127.0.0.1:8089/x?a=1&application_id=…"},
      {"http://h?application_id=&x_application_id=7#application_id=9", "h",
       "http://h?application_id=…&x_application_id=7#application_id=9"},
      {"host.only", "host.only", "host.only"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HostOf(c.url), c.host) << c.url;
    EXPECT_EQ(MaskedAddress(c.url), c.masked) << c.url;
  }
  EXPECT_EQ(ConnectionErrorText(cases[0].url).find("5c3e9a"), std::string::npos);
}

TEST_F(HttpFetchTest, AnAnswerCutShortGivesThePartThatArrived) {
  Routes(R"j({"routes": [{"path": "/half", "fault": "half", "body": "0123456789"},
                        {"path": "/garbage", "fault": "garbage", "body": "{}"}]})j");
  EXPECT_EQ(fetch_.GetUrlText(Url("/half")), "01234");
  const std::string garbage = fetch_.GetUrlText(Url("/garbage"));
  EXPECT_FALSE(garbage.empty());
  EXPECT_NE(garbage.front(), '{');
}

TEST_F(HttpFetchTest, SendsTheExtraHeaderOnlyWhenAsked) {
  Routes(R"j({"routes": [{"path": "/community/accounts/5/get_front_stats/",
                         "require_headers": {"X-Requested-With": "XMLHttpRequest"}, "body": "fronts"}]})j");
  const std::string url = Url("/community/accounts/5/get_front_stats/");
  EXPECT_EQ(fetch_.GetUrlTextWithHeader(url, kXmlHttpRequestHeader), "fronts");
  EXPECT_NE(fetch_.GetUrlText(url), "fronts");
  EXPECT_EQ(service_->targets().size(), 2u);  // one request per fetch, the header going with it
}

TEST_F(HttpFetchTest, NonAsciiBlanksAndPercentSignsArriveIntact) {
  Routes(R"j({"routes": [{"path": "/wot/account/list/", "query": {"search": "Пётр Иванов 100%\t", "limit": "1"},
                         "body": "found"}]})j");
  EXPECT_EQ(fetch_.GetUrlText(Url("/wot/account/list/?search=Пётр Иванов 100%\t&limit=1")), "found");
  EXPECT_EQ(service_->targets(), std::vector<std::string>{"/wot/account/list/?search=Пётр Иванов 100%%09&limit=1"});
}

TEST(EscapeUrlForWireTest, EscapesOnlyWhatAUrlCannotCarry) {
  EXPECT_EQ(EscapeUrlForWire("http://h:1/a b/?x=é&y=%41%zz%&z=a,b:c+d"),
            "http://h:1/a%20b/?x=%C3%A9&y=%41%25zz%25&z=a,b:c+d");
  EXPECT_EQ(EscapeUrlForWire("https://h/?q=\"<x>\"|{}#1"), "https://h/?q=%22%3Cx%3E%22%7C%7B%7D%231");
  EXPECT_EQ(EscapeUrlForWire("http://h"), "http://h");
  EXPECT_EQ(EscapeUrlForWire("/p?u=http://h/a b"), "/p?u=http://h/a%20b");
  EXPECT_EQ(EscapeUrlForWire("http://h/\x01\x7f"), "http://h/%01%7F");
}

TEST_F(HttpFetchTest, DownloadGivesTheBodyOfA200) {
  Routes(R"j({"routes": [{"path": "/Tarvelo.exe", "file": "Tarvelo.exe"}]})j");
  std::string program(5000, '\0');
  for (size_t i = 0; i < program.size(); ++i) program[i] = static_cast<char>(i * 7);
  WriteBytes(root_.path() / "Tarvelo.exe", program);
  const Download download = fetch_.DownloadUrl(Url("/Tarvelo.exe?account=Tester"));
  EXPECT_FALSE(download.refused);
  EXPECT_EQ(download.body, program);
}

TEST_F(HttpFetchTest, DownloadTellsARefusalFromOtherFailures) {
  Routes(R"j({"routes": [{"path": "/forbidden.png", "status": 403, "body": "no"},
                        {"path": "/missing.png", "status": 404, "body": "no"},
                        {"path": "/failing.png", "status": 500, "body": "no"},
                        {"path": "/half.png", "fault": "half", "body": "0123456789"},
                        {"path": "/empty.png", "body": ""}]})j");
  const auto shown = [](const Download& download) {
    return (download.refused ? "refused " : "") + download.body.value_or("<none>");
  };
  EXPECT_EQ(shown(fetch_.DownloadUrl(Url("/forbidden.png"))), "refused <none>");
  EXPECT_EQ(shown(fetch_.DownloadUrl(Url("/missing.png"))), "<none>");
  EXPECT_EQ(shown(fetch_.DownloadUrl(Url("/failing.png"))), "<none>");
  EXPECT_EQ(shown(fetch_.DownloadUrl(RefusingPort().url("/x.png"))), "refused <none>");
  EXPECT_EQ(shown(fetch_.DownloadUrl(Url("/half.png"))), "01234");
  EXPECT_EQ(shown(fetch_.DownloadUrl(Url("/empty.png"))), "");
}

class TimeZoneOverride {
 public:
  explicit TimeZoneOverride(const char* zone) : zone_("TZ", zone) { tzset(); }
  ~TimeZoneOverride() { tzset(); }

 private:
  EnvironmentOverride zone_;
};

TEST_F(HttpFetchTest, LastModifiedIsTheInstantOfTheHeaderShownInLocalTime) {
  Routes(R"j({"routes": [{"path": "/Tarvelo.html", "require_headers": {"User-Agent": "LastModifiedRss"},
                         "headers": {"Last-Modified": "Tue, 01 Dec 2026 10:00:00 GMT"}, "body": "v\nnotes"},
                        {"path": "/summer.html", "headers": {"Last-Modified": "Fri, 03 Jul 2026 10:00:00 GMT"}},
                        {"path": "/undated.html", "body": "v"}]})j");
  {
    const TimeZoneOverride moscow("Europe/Moscow");
    const LastModified modified = fetch_.GetUrlLastModified(Url("/Tarvelo.html"));
    EXPECT_TRUE(modified.found);
    EXPECT_DOUBLE_EQ(modified.time, EncodeDateTime(2026, 12, 1, 13, 0, 0));
    EXPECT_EQ(modified.unix_seconds, 1796119200);
  }
  {
    const TimeZoneOverride berlin("Europe/Berlin");  // summer time
    EXPECT_DOUBLE_EQ(fetch_.GetUrlLastModified(Url("/summer.html")).time, EncodeDateTime(2026, 7, 3, 12, 0, 0));
  }
  {
    const TimeZoneOverride utc("UTC");
    EXPECT_DOUBLE_EQ(fetch_.GetUrlLastModified(Url("/Tarvelo.html")).time, EncodeDateTime(2026, 12, 1, 10, 0, 0));
  }
  const LastModified undated = fetch_.GetUrlLastModified(Url("/undated.html"));
  EXPECT_FALSE(undated.found);
  EXPECT_DOUBLE_EQ(undated.time, -1.0);
  EXPECT_FALSE(fetch_.GetUrlLastModified(RefusingPort().url("/Tarvelo.html")).found);
}

TEST_F(HttpFetchTest, BodyIsGivenOnlyForACompleteAnswerWith200) {
  Routes(R"j({"routes": [{"path": "/sig", "body": "signature"}, {"path": "/gone", "status": 404, "body": "x"},
                        {"path": "/cut", "body": "0123456789", "fault": "half"}]})j");
  EXPECT_EQ(fetch_.GetUrlBody(Url("/sig")), "signature");
  EXPECT_EQ(fetch_.GetUrlBody(Url("/gone")), std::nullopt);
  EXPECT_EQ(fetch_.GetUrlBody(Url("/cut")), std::nullopt);
  EXPECT_EQ(fetch_.GetUrlBody(RefusingPort().url("/sig")), std::nullopt);
}

TEST_F(HttpFetchTest, AStalledAnswerEndsAsAConnectionFailure) {
  Routes(R"j({"routes": [{"path": "/stall", "fault": "stall", "body": "0123456789"},
                        {"path": "/silent", "delay_ms": 20000, "body": "late"}]})j");
  LimitStallTo(std::chrono::milliseconds(1000));
  for (const char* path : {"/stall", "/silent"}) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fetch_.GetUrlText(Url(path)), ConnectionErrorText(Url(path)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6)) << path;
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(fetch_.DownloadUrl(Url("/stall")).body, "01234");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
}

TEST_F(HttpFetchTest, AnswersSlowerThanTheStallLimitStillArrive) {
  Routes(R"j({"routes": [{"path": "/slow", "delay_ms": 700, "body": "slow"}]})j");
  LimitStallTo(std::chrono::milliseconds(3000));
  EXPECT_EQ(fetch_.GetUrlText(Url("/slow")), "slow");
}

// A self-signed certificate for 127.0.0.1, made with the openssl tool.
bool MakeCertificate(const std::filesystem::path& folder) {
  const std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2"
                              " -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout '" +
                              (folder / "key.pem").string() + "' -out '" + (folder / "cert.pem").string() +
                              "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

TEST(HttpsFetchTest, FetchesOverTlsAndChecksTheCertificate) {
  const ScratchFolder root;
  if (!MakeCertificate(root.path())) GTEST_SKIP() << "no openssl tool to make a certificate";
  WriteBytes(root.path() / "routes.json", R"j({"routes": [{"path": "/secure", "body": "over tls"}]})j");
  const SampleService service(root.path(), root.path() / "cert.pem", root.path() / "key.pem");
  ASSERT_TRUE(service.running()) << service.error();
  const std::string url = service.url("/secure?name=Пётр Иванов");
  ASSERT_TRUE(url.starts_with("https://"));
  const auto getter = MakeCurlHttpGetter();
  HttpFetch fetch(*getter);
  EXPECT_EQ(fetch.GetUrlText(url), ConnectionErrorText(url));  // not signed by anyone the system trusts

  ConnectionSettings settings;
  settings.ca_file = (root.path() / "cert.pem").string();
  fetch.set_settings(settings);
  EXPECT_EQ(fetch.GetUrlText(url), "over tls");
  // The refused handshake logged nothing.
  EXPECT_EQ(service.targets(), std::vector<std::string>{"/secure?name=Пётр Иванов"});
}

TEST(ProxySettingTest, MapsTheSettingToTheThreeModes) {
  EXPECT_EQ(ProxyFromSetting("").mode, ProxyMode::kPreconfigured);
  EXPECT_EQ(ProxyFromSetting("  ").mode, ProxyMode::kPreconfigured);
  EXPECT_EQ(ProxyFromSetting("NoProxy").mode, ProxyMode::kDirect);
  const ProxySetting named = ProxyFromSetting(" proxy.local:3128 ");
  EXPECT_EQ(named.mode, ProxyMode::kNamed);
  EXPECT_EQ(named.name, "proxy.local:3128");
}

// The service answers requests in proxy form too, so it can stand in for a proxy.
TEST_F(HttpFetchTest, ProxyModesDecideWhereTheRequestGoes) {
  Routes(R"j({"routes": [{"path": "/via-proxy", "body": "proxied"}]})j");
  const RefusingPort refusing;
  const std::string url = refusing.url("/via-proxy");
  const EnvironmentOverride http_proxy("http_proxy", service_->url().c_str());
  const EnvironmentOverride no_proxy("no_proxy", nullptr);
  const EnvironmentOverride no_proxy_upper("NO_PROXY", nullptr);

  EXPECT_EQ(fetch_.GetUrlText(url), "proxied");  // preconfigured: the environment's proxy

  ConnectionSettings settings;
  settings.proxy = ProxyFromSetting("noproxy");
  fetch_.set_settings(settings);
  EXPECT_EQ(fetch_.GetUrlText(url), ConnectionErrorText(url));

  const EnvironmentOverride no_http_proxy("http_proxy", nullptr);
  settings.proxy = ProxyFromSetting(service_->url());
  fetch_.set_settings(settings);
  EXPECT_EQ(fetch_.GetUrlText(url), "proxied");
  EXPECT_EQ(service_->targets(), (std::vector<std::string>{"/via-proxy", "/via-proxy"}));
}

TEST(ExtractBetweenTest, CutsTheTrimmedTextBetweenTheMarkers) {
  EXPECT_EQ(ExtractBetweenText("a<b>\t x y \r\n</b>c", "<b>", "</b>", "none"), "x y");
  EXPECT_EQ(ExtractBetweenText("a<b>x y", "<b>", "</b>", "none"), "none");
  EXPECT_EQ(ExtractBetweenText("a<b> x y \n", "<b>", std::string_view("\0", 1), "none"), "x y");
  EXPECT_EQ(ExtractBetweenText("a x y", "<b>", "</b>", "none"), "none");
  EXPECT_EQ(ExtractBetweenText("<b></b><b>2</b>", "<b>", "</b>", "none"), "");
}

TEST_F(HttpFetchTest, ExtractBetweenReadsThePageOfAWebAddress) {
  Routes(R"j({"routes": [{"path": "/Tarvelo.html", "body": "<p>2.0</p>\nnotes"}]})j");
  EXPECT_EQ(fetch_.ExtractBetween(Url("/Tarvelo.html"), "<p>", "</p>", "?"), "2.0");
  EXPECT_EQ(fetch_.ExtractBetween("ftp://x/<p>1</p>", "<p>", "</p>", "?"), "1");
  EXPECT_EQ(service_->requests().size(), 1u);
}

class DebugLogCapture {
 public:
  DebugLogCapture() : was_enabled_(DebugEnabled()) {
    SetDebugEnabled(true);
    ClearDebugLog();
  }
  ~DebugLogCapture() {
    ClearDebugLog();
    SetDebugEnabled(was_enabled_);
  }

 private:
  bool was_enabled_;
};

TEST(HttpFetchLogTest, LogsEveryRequestWithTheKeyMasked) {
  const DebugLogCapture capture;
  FakeHttpGetter getter;
  getter.AnswerText("http://img/1.png", "png");
  getter.AnswerText("http://img/2.png", "png", 404);
  HttpFetch fetch(getter);
  fetch.DownloadUrl("http://img/1.png");
  fetch.DownloadUrl("http://img/2.png");
  fetch.GetUrlText("http://api/x?application_id=secret");
  const std::string log = DebugLogText();
  const size_t first = log.find("\tПолучение данных: http://img/1.png<br />\r\n");
  const size_t second = log.find("\tПолучение данных: http://img/2.png<br />\r\n");
  const size_t third = log.find("\tПолучение данных: http://api/x?application_id=…<br />\r\n");
  EXPECT_TRUE(first < second && second < third) << log;
  EXPECT_EQ(log.find("secret"), std::string::npos);
}

TEST(FakeHttpGetterTest, PassesTheSettingsOfTheMomentWithEveryRequest) {
  FakeHttpGetter getter;
  getter.AnswerText("http://api/x", "body");
  ConnectionSettings settings;
  settings.proxy = ProxyFromSetting("noproxy");
  HttpFetch fetch(getter, settings);
  EXPECT_EQ(fetch.GetUrlText("http://api/x"), "body");
  EXPECT_EQ(fetch.GetUrlText("http://api/y"), ConnectionErrorText("http://api/y"));
  fetch.GetUrlLastModified("http://api/x");
  fetch.GetUrlTextWithHeader("http://api/x", kXmlHttpRequestHeader);
  ASSERT_EQ(getter.requests().size(), 4u);
  EXPECT_EQ(getter.requests()[0].proxy.mode, ProxyMode::kDirect);
  EXPECT_EQ(getter.requests()[0].user_agent, kBrowserUserAgent);
  EXPECT_EQ(getter.requests()[0].extra_header, "");
  EXPECT_EQ(getter.requests()[2].user_agent, kLastModifiedUserAgent);
  EXPECT_EQ(getter.requests()[3].extra_header, kXmlHttpRequestHeader);
}

TEST(FakeHttpGetterTest, GivesQueuedAnswersFirstThenTheLastingOne) {
  FakeHttpGetter getter;
  HttpResponse broken;
  broken.end = TransferEnd::kInterrupted;
  broken.status = 200;
  broken.body = "{\"sta";
  getter.AnswerOnce("http://api/x", broken);
  getter.AnswerOnce("http://api/x", HttpResponse{});
  getter.AnswerText("http://api/x", "{}");
  HttpFetch fetch(getter);
  EXPECT_EQ(fetch.GetUrlText("http://api/x"), "{\"sta");
  EXPECT_EQ(fetch.GetUrlText("http://api/x"), ConnectionErrorText("http://api/x"));
  EXPECT_EQ(fetch.GetUrlText("http://api/x"), "{}");
  EXPECT_EQ(fetch.GetUrlText("http://api/x"), "{}");
  EXPECT_EQ(getter.requested_urls().size(), 4u);
}

// One search's requests, one at a time and side by side, inner searches
// included, share the time of their host: they carry the same deadline.
TEST(SearchBudgetTest, RequestsOneByOneAndSideBySideShareTheirHostsTime) {
  FakeHttpGetter getter;
  FakeHttpBatchGetter batch_getter(getter);
  HttpFetch fetch(getter);
  HttpBatchFetch batch_fetch(batch_getter);
  const auto ignore = [](size_t, std::optional<std::string>) {};
  {
    const SearchBudgetScope search(&fetch, &batch_fetch);
    fetch.GetUrlText("http://api/a");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    batch_fetch.GetUrlBodies({"http://api/b", "http://portal/c"}, ignore);
    {
      const SearchBudgetScope member(&fetch);  // a member's load within a clan's collection
      fetch.GetUrlText("http://api/d");
    }
    fetch.GetUrlText("http://api/e");
  }
  fetch.GetUrlText("http://api/f");
  batch_fetch.GetUrlBodies({"http://api/g"}, ignore);

  const std::vector<HttpRequest>& requests = getter.requests();
  ASSERT_EQ(requests.size(), 7u);
  ASSERT_TRUE(requests[0].deadline.has_value());
  for (size_t i : {1, 3, 4}) EXPECT_EQ(requests[i].deadline, requests[0].deadline) << requests[i].url;
  ASSERT_TRUE(requests[2].deadline.has_value());
  EXPECT_GT(*requests[2].deadline, *requests[0].deadline) << "another host's time begins with its first request";
  EXPECT_FALSE(requests[5].deadline.has_value()) << "outside a search";
  EXPECT_FALSE(requests[6].deadline.has_value()) << "outside a search";
}

// Once a host's time is spent, no request to it is made at all.
TEST(SearchBudgetTest, ASpentBudgetMakesNoMoreRequests) {
  FakeHttpGetter getter;
  FakeHttpBatchGetter batch_getter(getter);
  ConnectionSettings settings;
  settings.limits.total_limit = std::chrono::milliseconds(0);
  HttpFetch fetch(getter, settings);
  HttpBatchFetch batch_fetch(batch_getter, settings);
  const SearchBudgetScope search(&fetch, &batch_fetch);
  EXPECT_EQ(fetch.GetUrlText("http://api/a"), ConnectionErrorText("http://api/a"));
  std::vector<size_t> answered;
  batch_fetch.GetUrlBodies({"http://api/b", "http://portal/c"}, [&](size_t index, std::optional<std::string> body) {
    EXPECT_FALSE(body.has_value());
    answered.push_back(index);
  });
  EXPECT_EQ(answered, (std::vector<size_t>{0, 1}));
  EXPECT_TRUE(getter.requests().empty());
}

}  // namespace
}  // namespace tarvelo
