#include "acquire/loader_context.h"

#include <chrono>
#include <thread>

#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr std::string_view kErrorMarker = "ОШИБКА";
constexpr std::string_view kWarningMarker = "ПРЕДУПРЕЖДЕНИЕ";

void AppendParagraph(std::string& messages, std::string_view css_class, const std::string& text) {
  messages += "<p";
  if (!css_class.empty()) {
    messages += " class=\"";
    messages += css_class;
    messages += '"';
  }
  messages += '>';
  messages += text;
  messages += "</p>\r\n";
}

// The first `characters` UTF-8 characters of `text`.
std::string FirstCharacters(const std::string& text, size_t characters) {
  size_t end = 0;
  for (size_t counted = 0; end < text.size() && counted < characters; ++counted) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(0, end);
}

}  // namespace

void LoaderContext::Pause(int milliseconds) const {
  if (pause) {
    pause(milliseconds);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

std::string LoaderContext::Url(std::string_view url_template, const AccountRef& account,
                               const ClanRef& clan) const {
  return FillUrlTemplate(url_template, account, clan, urls);
}

void AddMessage(std::string& messages, std::string_view text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  std::string_view css_class;
  if (Contains(trimmed, kErrorMarker)) {
    css_class = "r";
  } else if (Contains(trimmed, kWarningMarker)) {
    css_class = "g";
  }
  AppendParagraph(messages, css_class, trimmed);
}

void AddClanMessage(std::string& messages, std::string_view text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  AppendParagraph(messages, Contains(trimmed, kErrorMarker) ? "r" : "", trimmed);
}

std::string PlainExcerpt(std::string_view answer, size_t characters) {
  return EscapeHtml(FirstCharacters(PlainTextOfPage(answer), characters));
}

// As json::parse(DecodeAnswer(answer)), without copying an answer that is UTF-8 already.
json::Value DecodeApiAnswer(std::string_view answer) {
  return IsValidUtf8(answer) ? json::parse(answer) : json::parse(Cp1251ToUtf8(answer));
}

json::Value DecodeApiAnswer(std::string_view answer, const json::ItemPruning& pruning) {
  return IsValidUtf8(answer) ? json::parse(answer, pruning) : json::parse(Cp1251ToUtf8(answer), pruning);
}

std::string IncorrectDataMessage(std::string_view answer, size_t characters) {
  if (IsConnectionError(answer)) return FetchFailureMessage(answer);
  return "ОШИБКА: Получены некорректные данные (\"" + PlainExcerpt(answer, characters) + "...\").";
}

std::string AnswerShapeProblem(std::string_view answer, std::string_view status_mark) {
  if (answer.empty()) return std::string(kEmptyDataMessage);
  if (IsConnectionError(answer)) return FetchFailureMessage(answer);
  if (!Contains(answer, status_mark)) return IncorrectDataMessage(answer);
  return {};
}

std::string StatusAndError(const json::Value& document) {
  return EscapeHtml(json::text(document, "status") + " - " + json::text(document, "error"));
}

bool StatusIsOk(const json::Value& document) { return UpperCase(json::text(document, "status")) == "OK"; }

bool HasEntityData(const json::Value& document, std::string_view id) {
  const json::Value data = json::at(document, "data." + std::string(id));
  switch (data.kind()) {
    case json::Kind::Null:
      return false;
    case json::Kind::String:
      return !json::text(data).empty();
    default:
      return true;
  }
}

bool IsConnectionError(std::string_view answer) { return IsConnectionErrorText(answer); }

std::string FetchFailureMessage(std::string_view answer) { return EscapeHtml(answer); }

std::string StoredDataWarning(std::string_view host, DateTime stored) {
  return "ПРЕДУПРЕЖДЕНИЕ: Нет связи с сервером " + EscapeHtml(host) + ", показаны данные от " + FormatDate(stored) +
         " " + FormatTime(stored) + ".";
}

}  // namespace tarvelo
