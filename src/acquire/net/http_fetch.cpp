#include "acquire/net/http_fetch.h"

#include <algorithm>
#include <string>

#include "text/clock.h"
#include "text/debug_log.h"
#include "text/encoding.h"
#include "text/web_address.h"

namespace tarvelo {

namespace detail {
namespace {

constexpr std::string_view kConnectionFailure = "ОШИБКА: Не удалось соединиться с сервером ";
constexpr std::string_view kConnectionAdvice = ". Проверьте подключение к сети и настройки прокси.";
constexpr std::string_view kApplicationIdKey = "application_id=";

constexpr std::string_view kTooLargeStart = "ОШИБКА: Ответ сервера ";
constexpr std::string_view kTooLargeEnd = " МБ, он не принят.";
constexpr std::string_view kRedirectStart = "ОШИБКА: Сервер ";
constexpr std::string_view kRedirectEnd = " перенаправил запрос на другой сервер, ответ не принят.";

bool NoAnswer(const HttpResponse& response) {
  return response.end == TransferEnd::kNoConnection || response.end == TransferEnd::kTimedOut;
}

bool Refused(const HttpResponse& response) {
  return response.end == TransferEnd::kTooLarge || response.end == TransferEnd::kRedirected;
}

bool Between(std::string_view text, std::string_view start, std::string_view end) {
  return text.size() > start.size() + end.size() && text.starts_with(start) && text.ends_with(end);
}

}  // namespace
}  // namespace detail

ProxySetting ProxyFromSetting(std::string_view setting) {
  const std::string value = Trim(setting);
  if (value.empty()) return {ProxyMode::kPreconfigured, {}};
  if (LowerCase(value) == "noproxy") return {ProxyMode::kDirect, {}};
  return {ProxyMode::kNamed, value};
}

std::string ConnectionErrorText(std::string_view url) {
  return std::string(detail::kConnectionFailure) + HostOf(url) + std::string(detail::kConnectionAdvice);
}

std::string TooLargeAnswerText(std::string_view url, int64_t limit_bytes) {
  const int64_t megabytes = std::max<int64_t>(1, limit_bytes / (1024 * 1024));
  return std::string(detail::kTooLargeStart) + HostOf(url) + " больше " + std::to_string(megabytes) +
         std::string(detail::kTooLargeEnd);
}

std::string RedirectRefusedText(std::string_view url) {
  return std::string(detail::kRedirectStart) + HostOf(url) + std::string(detail::kRedirectEnd);
}

bool IsConnectionErrorText(std::string_view answer) {
  using detail::Between;
  return Between(answer, detail::kConnectionFailure, detail::kConnectionAdvice) ||
         Between(answer, detail::kTooLargeStart, detail::kTooLargeEnd) ||
         Between(answer, detail::kRedirectStart, detail::kRedirectEnd);
}

std::string HostOf(std::string_view url) {
  const size_t scheme_end = url.find("://");
  std::string_view rest = scheme_end == std::string_view::npos ? url : url.substr(scheme_end + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  const size_t user_end = rest.rfind('@');
  return std::string(user_end == std::string_view::npos ? rest : rest.substr(user_end + 1));
}

std::string MaskedAddress(std::string_view url) {
  std::string masked(url);
  for (size_t key = masked.find(detail::kApplicationIdKey); key != std::string::npos;
       key = masked.find(detail::kApplicationIdKey, key + 1)) {
    if (key > 0 && masked[key - 1] != '?' && masked[key - 1] != '&') continue;
    const size_t value = key + detail::kApplicationIdKey.size();
    const size_t end = std::min(masked.find_first_of("&#", value), masked.size());
    masked.replace(value, end - value, "…");
  }
  return masked;
}

std::string ExtractBetweenText(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                               std::string_view default_text) {
  const size_t start = text.find(start_marker);
  if (start == std::string_view::npos) return std::string(default_text);
  const std::string_view rest = text.substr(start + start_marker.size());
  const size_t end = rest.find(end_marker);
  if (end != std::string_view::npos) return Trim(rest.substr(0, end));
  if (end_marker == std::string_view("\0", 1)) return Trim(rest);
  return std::string(default_text);
}

HttpRequest LoggedRequest(const ConnectionSettings& settings, std::string_view url, std::string_view header,
                          std::string_view user_agent) {
  DebugLog("Получение данных: " + MaskedAddress(url));
  HttpRequest request;
  request.url = url;
  request.extra_header = header;
  request.user_agent = user_agent;
  request.proxy = settings.proxy;
  request.limits = settings.limits;
  request.ca_file = settings.ca_file;
  request.wait = settings.wait;
  return request;
}

std::optional<std::string> CompleteBody(HttpResponse response) {
  if (response.end != TransferEnd::kComplete || response.status != 200) return std::nullopt;
  return std::move(response.body);
}

HttpFetch::HttpFetch(HttpGetter& getter, ConnectionSettings settings)
    : getter_(getter), settings_(std::move(settings)) {}

std::chrono::steady_clock::time_point FetchBudget::Deadline(const std::string& host) {
  return deadlines_.try_emplace(host, std::chrono::steady_clock::now() + per_host_).first->second;
}

namespace detail {
namespace {

// The logged request for `url`, given the end of its host's time when there is
// a budget; nothing when that time is spent, and the request is not made.
std::optional<HttpRequest> BudgetedRequest(FetchBudget* budget, const ConnectionSettings& settings,
                                           std::string_view url, std::string_view header,
                                           std::string_view user_agent) {
  std::optional<std::chrono::steady_clock::time_point> deadline;
  if (budget != nullptr) deadline = budget->Deadline(HostOf(url));
  if (deadline && *deadline <= std::chrono::steady_clock::now()) {
    DebugLog("ОШИБКА: Время ожидания ответов сервера для этого поиска исчерпано: " + MaskedAddress(url));
    return std::nullopt;
  }
  HttpRequest request = LoggedRequest(settings, url, header, user_agent);
  request.deadline = deadline;
  return request;
}

}  // namespace
}  // namespace detail

SearchBudgetScope::SearchBudgetScope(HttpFetch* fetch, HttpBatchFetch* batch_fetch) {
  if (fetch == nullptr && batch_fetch == nullptr) return;
  FetchBudget* shared = fetch != nullptr && fetch->budget_ != nullptr ? fetch->budget_
                        : batch_fetch != nullptr                       ? batch_fetch->budget_
                                                                       : nullptr;
  if (shared == nullptr) {
    const ConnectionSettings& settings = fetch != nullptr ? fetch->settings_ : batch_fetch->settings_;
    shared = &budget_.emplace(settings.limits.total_limit);
  }
  if (fetch != nullptr && fetch->budget_ == nullptr) {
    fetch->budget_ = shared;
    fetch_ = fetch;
  }
  if (batch_fetch != nullptr && batch_fetch->budget_ == nullptr) {
    batch_fetch->budget_ = shared;
    batch_fetch_ = batch_fetch;
  }
}

SearchBudgetScope::~SearchBudgetScope() {
  if (fetch_ != nullptr) fetch_->budget_ = nullptr;
  if (batch_fetch_ != nullptr) batch_fetch_->budget_ = nullptr;
}

HttpResponse HttpFetch::Fetch(std::string_view url, std::string_view header, std::string_view user_agent) {
  const std::optional<HttpRequest> request = detail::BudgetedRequest(budget_, settings_, url, header, user_agent);
  if (!request) return {TransferEnd::kTimedOut, 0, {}, std::nullopt};
  return getter_.Get(*request);
}

std::string HttpFetch::GetUrlText(std::string_view url) { return GetUrlTextWithHeader(url, {}); }

std::string HttpFetch::GetUrlTextWithHeader(std::string_view url, std::string_view header) {
  HttpResponse response = Fetch(url, header, settings_.user_agent);
  if (detail::NoAnswer(response)) return ConnectionErrorText(url);
  if (response.end == TransferEnd::kTooLarge) return TooLargeAnswerText(url, settings_.limits.max_body_bytes);
  if (response.end == TransferEnd::kRedirected) return RedirectRefusedText(url);
  return std::move(response.body);
}

Download HttpFetch::DownloadUrl(std::string_view url) {
  HttpResponse response = Fetch(url, {}, settings_.user_agent);
  if (response.status == 0 || response.status == 403 || detail::Refused(response)) return {true, std::nullopt};
  if (response.status != 200) return {};
  return {false, std::move(response.body)};
}

std::optional<std::string> HttpFetch::GetUrlBody(std::string_view url) {
  return CompleteBody(Fetch(url, {}, settings_.user_agent));
}

LastModified HttpFetch::GetUrlLastModified(std::string_view url) {
  const HttpResponse response = Fetch(url, {}, settings_.last_modified_user_agent);
  if (detail::NoAnswer(response) || detail::Refused(response) || !response.last_modified) return {};
  return {true, UnixToLocalDateTime(*response.last_modified), *response.last_modified};
}

std::string HttpFetch::ExtractBetween(std::string_view source, std::string_view start_marker,
                                      std::string_view end_marker, std::string_view default_text) {
  if (!IsWebAddress(source)) return ExtractBetweenText(source, start_marker, end_marker, default_text);
  return ExtractBetweenText(GetUrlText(source), start_marker, end_marker, default_text);
}

HttpBatchFetch::HttpBatchFetch(HttpBatchGetter& getter, ConnectionSettings settings)
    : getter_(getter), settings_(std::move(settings)) {}

void HttpBatchFetch::GetUrlBodies(const std::vector<std::string>& urls, const BodyCallback& done) {
  std::vector<HttpRequest> requests;
  std::vector<size_t> indices;  // of the URLs asked for, in the order of `requests`
  requests.reserve(urls.size());
  for (size_t i = 0; i < urls.size(); ++i) {
    std::optional<HttpRequest> request = detail::BudgetedRequest(budget_, settings_, urls[i], {}, settings_.user_agent);
    if (!request) {
      done(i, std::nullopt);
      continue;
    }
    requests.push_back(std::move(*request));
    indices.push_back(i);
  }
  getter_.GetAll(requests, [&done, &indices](size_t at, HttpResponse response) {
    done(indices[at], CompleteBody(std::move(response)));
  });
}

}  // namespace tarvelo
