#include "shell/entry_lists.h"

#include <algorithm>
#include <cctype>
#include <tuple>

#include "report/html.h"
#include "shell/front_end.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

bool SameEntry(std::string_view a, std::string_view b) { return LowerCase(a) == LowerCase(b); }

std::string Position(size_t i) { return std::to_string(i); }

// Sort weight of one byte of lower-cased text: punctuation, digits, Latin letters,
// then everything beyond ASCII (Cyrillic) in code order.
std::tuple<int, unsigned char> ByteWeight(unsigned char c) {
  if (c >= 0x80) return {3, c};
  if (std::isalpha(c)) return {2, c};
  if (std::isdigit(c)) return {1, c};
  return {0, c};
}

int ComparePrimary(const std::string& a, const std::string& b) {
  std::string key_a = ReplaceAll(LowerCase(a), "ё", "е");
  std::string key_b = ReplaceAll(LowerCase(b), "ё", "е");
  size_t n = std::min(key_a.size(), key_b.size());
  for (size_t i = 0; i < n; ++i) {
    auto wa = ByteWeight(static_cast<unsigned char>(key_a[i]));
    auto wb = ByteWeight(static_cast<unsigned char>(key_b[i]));
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (key_a.size() != key_b.size()) return key_a.size() < key_b.size() ? -1 : 1;
  return 0;
}

}  // namespace

bool EntryOrder(const std::string& a, const std::string& b) {
  int primary = ComparePrimary(a, b);
  if (primary != 0) return primary < 0;
  // Same letters: the first difference in case decides, lower case first ("abc" < "Abc").
  return a > b;
}

std::vector<std::string> ReadList(const SettingsStore& store, std::string_view list) {
  std::vector<std::string> entries;
  while (true) {
    std::string entry = store.ReadSettingStr(list, Position(entries.size()), "");
    if (entry.empty()) return entries;
    entries.push_back(std::move(entry));
  }
}

void AddFavorite(const SettingsStore& store, std::string_view entry, FrontEnd& owner) {
  std::vector<std::string> favorites = ReadList(store, kFavorites);
  bool found = false;
  for (size_t i = 0; i < favorites.size(); ++i) {
    if (SameEntry(favorites[i], entry)) {
      store.WriteSettingStr(kFavorites, Position(i), entry);
      found = true;
    }
  }
  if (found) return;
  if (favorites.size() >= kFavoritesCapacity) {
    owner.ShowBox(BoxKind::Warning, "Добавление записи", "Извините, достигнут лимит количества записей. Удалите ненужные.");
    return;
  }
  store.WriteSettingStr(kFavorites, Position(favorites.size()), entry);
}

void DeleteListEntry(const SettingsStore& store, std::string_view list, std::string_view entry, FrontEnd* owner) {
  std::vector<std::string> entries = ReadList(store, list);
  auto found = std::find_if(entries.begin(), entries.end(), [&](const std::string& e) { return SameEntry(e, entry); });
  if (found == entries.end()) return;
  if (owner) {
    std::string question = "Удалить " + std::string(entry) + " из списка избранных?";
    if (owner->Ask("Удаление записи", question, false) != Answer::Yes) return;
  }
  for (size_t i = static_cast<size_t>(found - entries.begin()); i + 1 < entries.size(); ++i) {
    store.WriteSettingStr(list, Position(i), entries[i + 1]);
  }
  store.DeleteSetting(list, Position(entries.size() - 1));
}

void AddRecent(const SettingsStore& store, std::string_view entry) {
  DeleteListEntry(store, kRecent, entry, nullptr);
  for (size_t i = kRecentCapacity - 1; i-- > 0;) {
    std::string value = store.ReadSettingStr(kRecent, Position(i), "");
    if (!value.empty()) store.WriteSettingStr(kRecent, Position(i + 1), value);
  }
  store.WriteSettingStr(kRecent, Position(0), entry);
}

std::string ListHtml(const SettingsStore& store, std::string_view list, std::string_view title) {
  bool favorites = list == kFavorites;
  std::vector<std::string> entries = ReadList(store, list);
  if (favorites) std::stable_sort(entries.begin(), entries.end(), EntryOrder);

  std::string html = "<b class=\"sectionHdr\">" + std::string(title) + ":</b>" + (favorites ? "<ul>" : "<ol>");
  for (const std::string& entry : entries) {
    html += "<li>";
    if (favorites) {
      html += "<a href=\"#\" onclick=\"" + DoCmdCall("delfav", entry) +
              "\" title=\"Удалить из списка избранных\" class=\"popup\">x</a>";
    }
    html += "<a href=\"#\" onclick=\"" + DoCmdCall("search", entry) + "\">" + EscapeHtml(entry) + "</a>";
    if (favorites) html += "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    html += "</li>\r\n";
  }
  if (entries.empty()) html += "<li>Нет записей</li>\r\n";
  return html + (favorites ? "</ul>" : "</ol>");
}

std::string ListsPopupContent(const SettingsStore& store) {
  return ListHtml(store, kFavorites, "Список избранных") + "<br />" + ListHtml(store, kRecent, "Список недавних");
}

}  // namespace tarvelo
