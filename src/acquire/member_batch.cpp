#include "acquire/member_batch.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "acquire/account_loader.h"

namespace tarvelo {

namespace {

constexpr std::string_view kOkCountStart = "{\"status\":\"ok\",\"meta\":{\"count\":";
constexpr std::string_view kDataStart = "},\"data\":{";
constexpr std::string_view kSingleStart = "{\"status\":\"ok\",\"meta\":{\"count\":1},\"data\":{\"";

// One past the end of the JSON value that begins at `at`, as long as the text
// is well formed there; npos when the value is cut off.
size_t ValueEnd(std::string_view text, size_t at) {
  int depth = 0;
  bool in_string = false;
  for (size_t i = at; i < text.size(); ++i) {
    const char c = text[i];
    if (in_string) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        in_string = false;
        if (depth == 0) return i + 1;
      }
      continue;
    }
    if (c == '"') {
      in_string = true;
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if (c == '}' || c == ']') {
      if (depth == 0) return i;
      if (--depth == 0) return i + 1;
    } else if (c == ',' && depth == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

// The members of the answer's data object as written, by name; nothing when
// the answer is not laid out as the publisher writes an "ok" answer.
std::optional<std::map<std::string, std::string_view, std::less<>>> DataMembers(std::string_view answer) {
  if (!answer.starts_with(kOkCountStart)) return std::nullopt;
  size_t at = answer.find_first_not_of("0123456789", kOkCountStart.size());
  if (at == kOkCountStart.size() || answer.substr(at, kDataStart.size()) != kDataStart) return std::nullopt;
  at += kDataStart.size();
  std::map<std::string, std::string_view, std::less<>> members;
  while (at < answer.size() && answer[at] == '"') {
    const size_t name_end = answer.find("\":", at + 1);
    if (name_end == std::string_view::npos) return std::nullopt;
    const size_t value_end = ValueEnd(answer, name_end + 2);
    if (value_end == std::string_view::npos) return std::nullopt;
    members.emplace(answer.substr(at + 1, name_end - at - 1), answer.substr(name_end + 2, value_end - name_end - 2));
    at = value_end;
    if (at < answer.size() && answer[at] == ',') ++at;
  }
  if (answer.substr(at) != "}}") return std::nullopt;
  return members;
}

std::string JoinIds(std::span<const std::string> ids) {
  std::string joined;
  for (const std::string& id : ids) joined += (joined.empty() ? "" : ",") + id;
  return joined;
}

}  // namespace

std::map<std::string, std::string, std::less<>> SplitMultiIdAnswer(std::string_view answer,
                                                                   std::span<const std::string> ids) {
  std::map<std::string, std::string, std::less<>> answers;
  const auto members = DataMembers(answer);
  // A member that is not well formed inside would pass the layout check.
  if (!members || !DecodeApiAnswer(answer).present()) return answers;
  for (const std::string& id : ids) {
    const auto member = members->find(id);
    if (member == members->end() || !member->second.starts_with('{')) continue;
    answers.emplace(id, std::string(kSingleStart) + id + "\":" + std::string(member->second) + "}}");
  }
  return answers;
}

void PrefetchMultiIdAnswers(const LoaderContext& context, std::span<const std::string> ids,
                            PrefetchedAnswers& answers) {
  struct Part {
    AccountRequest request;
    std::span<const std::string> ids;
  };
  std::vector<Part> parts;
  std::vector<std::string> urls;
  for (AccountRequest request : {AccountRequest::kInfo, AccountRequest::kAchievements, AccountRequest::kMembership}) {
    for (size_t from = 0; from < ids.size(); from += kMostIdsPerRequest) {
      const auto part = ids.subspan(from, std::min(kMostIdsPerRequest, ids.size() - from));
      parts.push_back({request, part});
      urls.push_back(AccountRequestUrl(context, request, JoinIds(part)));
    }
  }
  context.batch_fetch->GetUrlBodies(urls, [&](size_t index, std::optional<std::string> body) {
    if (!body) return;
    const Part& part = parts[index];
    for (auto& [id, answer] : SplitMultiIdAnswer(*body, part.ids)) {
      answers.insert_or_assign(AccountRequestUrl(context, part.request, id), std::move(answer));
    }
  });
}

void PrefetchSingleAnswers(const LoaderContext& context, std::span<const std::string> ids,
                           PrefetchedAnswers& answers) {
  std::vector<std::string> urls;
  std::vector<bool> tried_again;  // the loader tries again when such an answer does not parse
  const auto add = [&](std::string url, bool retried) {
    urls.push_back(std::move(url));
    tried_again.push_back(retried);
  };
  for (const std::string& id : ids) {
    for (AccountRequest request : {AccountRequest::kInfo, AccountRequest::kAchievements, AccountRequest::kMembership}) {
      std::string url = AccountRequestUrl(context, request, id);
      if (!answers.contains(url)) add(std::move(url), request == AccountRequest::kAchievements);
    }
    add(AccountRequestUrl(context, AccountRequest::kVehicles, id), true);
  }
  context.batch_fetch->GetUrlBodies(urls, [&](size_t index, std::optional<std::string> body) {
    if (!body || (tried_again[index] && !TakenAtFirstTry(*body))) return;
    answers.insert_or_assign(urls[index], std::move(*body));
  });
}

}  // namespace tarvelo
