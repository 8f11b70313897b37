// A clan's members fetched ahead of the account loader: the requests the
// publisher answers for many accounts at once are made once for all of them,
// the vehicle statistics several at a time, and each answer is filed under the
// address the loader asks for one account, as that request would answer it.
// The loader then finds its answers instead of fetching them; what is missing
// or unusable here it fetches itself, as it always does.
#pragma once

#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "acquire/loader_context.h"

namespace tarvelo {

// The accounts' own answers in an answer for several accounts, by id, each as
// the request for that one account gives it. An answer that is not an "ok"
// answer in the publisher's layout gives none; an account whose data are not an
// object of its own (missing, null) gives none either.
std::map<std::string, std::string, std::less<>> SplitMultiIdAnswer(std::string_view answer,
                                                                   std::span<const std::string> ids);

// Fetches the info, achievements and clan membership of the accounts, up to
// kMostIdsPerRequest in a request, and files each account's answer.
void PrefetchMultiIdAnswers(const LoaderContext& context, std::span<const std::string> ids,
                            PrefetchedAnswers& answers);

// Fetches side by side the vehicle statistics of the accounts and those of
// their other answers that the multi-id requests did not give, and files the
// answers the loader would take at its first try.
void PrefetchSingleAnswers(const LoaderContext& context, std::span<const std::string> ids,
                           PrefetchedAnswers& answers);

}  // namespace tarvelo
