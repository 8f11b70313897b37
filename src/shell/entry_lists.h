// The favourites and the recent searches: two short lists of search entries (player
// names and clan tags in square brackets) kept in the settings store as the values
// "0", "1", ... of their own section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/settings_store.h"

namespace tarvelo {

class FrontEnd;

inline constexpr std::string_view kFavorites = "Favorites";
inline constexpr std::string_view kRecent = "Recent";
inline constexpr size_t kFavoritesCapacity = 20;
inline constexpr size_t kRecentCapacity = 10;

// The entries from "0" up to the first missing or empty value.
std::vector<std::string> ReadList(const SettingsStore& store, std::string_view list);

// Adds a favourite, or respells the stored ones equal to it ignoring case. A full
// list refuses a new entry with a warning box.
void AddFavorite(const SettingsStore& store, std::string_view entry, FrontEnd& owner);

// Removes the first entry equal to `entry` ignoring case and closes the gap. With an
// owner the user is asked first.
void DeleteListEntry(const SettingsStore& store, std::string_view list, std::string_view entry, FrontEnd* owner);

// Puts the entry at the top of the recent list, dropping an earlier occurrence and,
// when the list is full, the oldest entry.
void AddRecent(const SettingsStore& store, std::string_view entry);

// The list as it appears in the lists pop-up: favourites sorted with a "x" to remove
// each, recent searches newest first.
std::string ListHtml(const SettingsStore& store, std::string_view list, std::string_view title);

// Both lists, as the search form's pop-up shows them.
std::string ListsPopupContent(const SettingsStore& store);

// Ascending order of entries: letters ignore case first, lower case before upper case
// on a tie; punctuation before digits before letters, Latin before Cyrillic.
bool EntryOrder(const std::string& a, const std::string& b);

}  // namespace tarvelo
