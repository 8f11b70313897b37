// The fetch operations every network byte of the program passes through. Each one
// blocks until the answer is complete, has failed, or has stalled.
#pragma once

#include <cstdint>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "acquire/net/http_batch_getter.h"
#include "acquire/net/http_getter.h"
#include "text/russian.h"

namespace tarvelo {

inline constexpr std::string_view kBrowserUserAgent = "Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.0)";
inline constexpr std::string_view kLastModifiedUserAgent = "LastModifiedRss";
// The header the publisher's portal wants on its page-internal requests.
inline constexpr std::string_view kXmlHttpRequestHeader = "X-Requested-With: XMLHttpRequest";

// How the fetches connect; the shell fills it from the settings at start-up and
// whenever they change.
struct ConnectionSettings {
  ProxySetting proxy;
  std::string user_agent = std::string(kBrowserUserAgent);
  std::string last_modified_user_agent = std::string(kLastModifiedUserAgent);
  TransferLimits limits;
  std::string ca_file;  // see HttpRequest
  TransferWait* wait = nullptr;  // see HttpRequest
};

// Empty gives preconfigured, "noproxy" in any letter case gives direct, anything
// else names the proxy to use (as typed, without surrounding blanks).
ProxySetting ProxyFromSetting(std::string_view setting);

// What a fetch gives when the request could not be made at all (no connection,
// time-out, refused, name not resolved): an error message naming the URL's host
// and the advice to check the network and proxy settings.
std::string ConnectionErrorText(std::string_view url);
// What a fetch gives for an answer larger than the limit, and for a redirect to
// another scheme or host: an error message naming the URL's host.
std::string TooLargeAnswerText(std::string_view url, int64_t limit_bytes);
std::string RedirectRefusedText(std::string_view url);
// Whether `answer` is one of the texts above.
bool IsConnectionErrorText(std::string_view answer);

// The host (and port) of a URL, without scheme, user and path.
std::string HostOf(std::string_view url);
// The URL with the value of its application_id key replaced by "…", as it is logged.
std::string MaskedAddress(std::string_view url);

struct Download {
  bool refused = false;             // status 403, or no answer at all
  std::optional<std::string> body;  // status 200: what arrived; nothing for any other status
};

struct LastModified {
  bool found = false;
  DateTime time = -1.0;      // local time
  int64_t unix_seconds = 0;  // the instant itself, for comparing with file times
};

// The text after the first `start_marker` up to the next `end_marker`, trimmed of
// blanks and control characters; `default_text` when a marker is missing. An end
// marker of the single character "\0" means "to the end".
std::string ExtractBetweenText(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                               std::string_view default_text);

// The request for `url` with the connection settings, logged as it goes out.
HttpRequest LoggedRequest(const ConnectionSettings& settings, std::string_view url, std::string_view header,
                          std::string_view user_agent);

// The body of a complete answer with status 200; nothing for any other answer.
std::optional<std::string> CompleteBody(HttpResponse response);

// One time budget per host for a whole search: however often the search asks a
// host (its retries and its requests side by side included), that host costs
// it at most `per_host`.
class FetchBudget {
 public:
  explicit FetchBudget(std::chrono::milliseconds per_host) : per_host_(per_host) {}
  // When the host's time ends; it starts with the first request to the host.
  std::chrono::steady_clock::time_point Deadline(const std::string& host);

 private:
  std::chrono::milliseconds per_host_;
  std::map<std::string, std::chrono::steady_clock::time_point> deadlines_;
};

class HttpFetch {
 public:
  explicit HttpFetch(HttpGetter& getter, ConnectionSettings settings = {});

  const ConnectionSettings& settings() const { return settings_; }
  void set_settings(ConnectionSettings settings) { settings_ = std::move(settings); }

  // The body of whatever answer came (an error page too), or ConnectionErrorText.
  std::string GetUrlText(std::string_view url);
  // The same with one extra "Name: value" header line.
  std::string GetUrlTextWithHeader(std::string_view url, std::string_view header);
  // A file to be stored: the body of a status 200 answer (a partial body too).
  Download DownloadUrl(std::string_view url);
  // The body of a complete answer with status 200; nothing for any other answer.
  std::optional<std::string> GetUrlBody(std::string_view url);
  // The Last-Modified time of the URL's answer.
  LastModified GetUrlLastModified(std::string_view url);
  // ExtractBetweenText of the source, or of the page it names when it is an
  // http:// or https:// address.
  std::string ExtractBetween(std::string_view source, std::string_view start_marker, std::string_view end_marker,
                             std::string_view default_text);

 private:
  friend class SearchBudgetScope;
  HttpResponse Fetch(std::string_view url, std::string_view header, std::string_view user_agent);

  HttpGetter& getter_;
  ConnectionSettings settings_;
  FetchBudget* budget_ = nullptr;
};

class HttpBatchFetch;

// The requests of one search, one by one and side by side, share one
// FetchBudget of the total limit per host while this lives; a budget already in
// force (an outer search) is kept and shared. A null fetch has nothing to budget.
class SearchBudgetScope {
 public:
  explicit SearchBudgetScope(HttpFetch* fetch, HttpBatchFetch* batch_fetch = nullptr);
  ~SearchBudgetScope();
  SearchBudgetScope(const SearchBudgetScope&) = delete;
  SearchBudgetScope& operator=(const SearchBudgetScope&) = delete;

 private:
  std::optional<FetchBudget> budget_;
  // The fetches this scope gave the budget to, and takes it back from.
  HttpFetch* fetch_ = nullptr;
  HttpBatchFetch* batch_fetch_ = nullptr;
};

// Many complete-answer fetches at once, with the same settings as HttpFetch.
class HttpBatchFetch {
 public:
  using BodyCallback = std::function<void(size_t index, std::optional<std::string> body)>;

  explicit HttpBatchFetch(HttpBatchGetter& getter, ConnectionSettings settings = {});

  // Fetches every URL and hands `done` the URL's index and the body of its
  // complete 200 answer (nothing for any other answer) as each one ends.
  void GetUrlBodies(const std::vector<std::string>& urls, const BodyCallback& done);

 private:
  friend class SearchBudgetScope;

  HttpBatchGetter& getter_;
  ConnectionSettings settings_;
  FetchBudget* budget_ = nullptr;
};

}  // namespace tarvelo
