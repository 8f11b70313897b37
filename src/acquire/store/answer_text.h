// Reading the publisher's answers as stored or received: decoding, the status
// check and the excerpts that messages quote.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "json/json.h"

namespace tarvelo {

// The count the publisher appends to single-object answers; removed before anything looks at them.
inline constexpr std::string_view kMetaCount = ",\"meta\":{\"count\":1}";

// The answer decoded (UTF-8, or Windows-1251 when it is not valid UTF-8) and parsed;
// an empty Value when it does not parse.
json::Value DecodeApiAnswer(std::string_view answer);
// The same without what `pruning` leaves out.
json::Value DecodeApiAnswer(std::string_view answer, const json::ItemPruning& pruning);

// True when the decoded status, upper-cased, is "OK".
bool StatusIsOk(const json::Value& document);
// `status` + " - " + the text of `error`, as the status messages quote them
// (escaped: both come from the answer).
std::string StatusAndError(const json::Value& document);
// True when the document holds "data.<id>" with something in it (not null, not "").
bool HasEntityData(const json::Value& document, std::string_view id);

// A stored snapshot of account `id` decoded, when it holds the account's
// figures: not an error text, status ok, the account's data there. Empty otherwise.
json::Value UsableSnapshot(std::string_view text, std::string_view id, const json::ItemPruning* pruning = nullptr);

// The first `characters` characters of the plain text of an answer, markup escaped.
std::string PlainExcerpt(std::string_view answer, size_t characters);
inline constexpr size_t kExcerptCharacters = 200;
inline constexpr size_t kSideExcerptCharacters = 70;

}  // namespace tarvelo
