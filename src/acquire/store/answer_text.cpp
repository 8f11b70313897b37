#include "acquire/store/answer_text.h"

#include "text/encoding.h"
#include "text/html_escape.h"
#include "text/replace.h"

namespace tarvelo {

// As json::parse(DecodeAnswer(answer)), without copying an answer that is UTF-8 already.
json::Value DecodeApiAnswer(std::string_view answer) {
  return IsValidUtf8(answer) ? json::parse(answer) : json::parse(Cp1251ToUtf8(answer));
}

json::Value DecodeApiAnswer(std::string_view answer, const json::ItemPruning& pruning) {
  return IsValidUtf8(answer) ? json::parse(answer, pruning) : json::parse(Cp1251ToUtf8(answer), pruning);
}

bool StatusIsOk(const json::Value& document) { return UpperCase(json::text(document, "status")) == "OK"; }

std::string StatusAndError(const json::Value& document) {
  return EscapeHtml(json::text(document, "status") + " - " + json::text(document, "error"));
}

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

json::Value UsableSnapshot(std::string_view text, std::string_view id, const json::ItemPruning* pruning) {
  if (text.empty() || Contains(text, "Ошибка") || !Contains(text, "status")) return {};
  json::Value document = pruning != nullptr ? DecodeApiAnswer(text, *pruning) : DecodeApiAnswer(text);
  if (!document.present() || !StatusIsOk(document) || !HasEntityData(document, id)) return {};
  return document;
}

std::string PlainExcerpt(std::string_view answer, size_t characters) {
  return EscapeHtml(FirstCharacters(PlainTextOfPage(answer), characters));
}

}  // namespace tarvelo
