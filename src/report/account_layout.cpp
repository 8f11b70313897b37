#include "report/account_layout.h"

#include <array>

#include "model/tables.h"
#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

constexpr std::array<AccountLayoutRow, 78> kFullLayout{{
    {"Аккаунт", "[main]AccountName", "%s", "1", "1", "111111111111111"},
    {"Состоит в клане", "[main]ClanTagName", "%s", "1", "1", "111111111111111"},
    {"Семафор – дата, бои, победы, рейтинг эффективности", "[section]Semaphore", "%s\r\n%d\r\n[%.1f%%]", "1", "1", "111111111111111"},
    {"История", "[section]History", "", "1", "1", "111111111111111"},
    {"Общая статистика", "[section]Total", "", "1", "1", "111111111111111"},
    {"Количество боёв", "stAll.Battles", "%.0n|[%.2f%%]", "1", "3", "111111111111111"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;случайных", "stRandom.Battles", "%.0n|[%.2f%%]", "0", "1", "100000000000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;ротных", "stCompany.Battles", "%.0n|[%.2f%%]", "1", "2", "100000000000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;клановых (до ГК 2.0)", "stClan.Battles", "%.0n|[%.2f%%]", "0", "2", "100000000000000"},
    {"&nbsp;&nbsp;клановых", "stGlobalmap.Battles", "%.0n|[%.2f%%]", "1", "3", "100000000000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;X уровень", "stGlobalmap_Absolute.Battles", "%.0n|[%.2f%%]", "0", "2", "100010000000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;VIII уровень", "stGlobalmap_Champion.Battles", "%.0n|[%.2f%%]", "0", "2", "100010000000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;VI уровень", "stGlobalmap_Middle.Battles", "%.0n|[%.2f%%]", "0", "2", "100010000000000"},
    {"&nbsp;&nbsp;за укрепрайон", "stStronghold.Battles", "%.0n|[%.2f%%]", "1", "3", "100000000000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;вылазки", "stStronghold_Skirmish.Battles", "%.0n|[%.2f%%]", "0", "2", "100000001000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;оборона", "stStronghold_Defense.Battles", "%.0n|[%.2f%%]", "0", "2", "100000001000000"},
    {"&nbsp;&nbsp;командных", "stTeam.Battles", "%.0n|[%.2f%%]", "1", "3", "100000000000000"},
    {"&nbsp;&nbsp;в Ладдере", "stRegularTeam.Battles", "%.0n|[%.2f%%]", "0", "2", "100000000000000"},
    {"&nbsp;&nbsp;&quot;Бой до последнего&quot;", "stFallout.Battles", "%.0n|%.2f%%", "1", "2", "100000000000000"},
    {"&nbsp;&nbsp;исторических", "stHistorical.Battles", "%.0n|[%.2f%%]", "0", "2", "100000000000000"},
    {"Побед", "Wins", "%.0n|", "0", "1", "111111111111111"},
    {"Поражений", "Losses", "%.0n|", "0", "1", "111111111111111"},
    {"Ничьих", "Draws", "%.0n|", "0", "1", "111111111111111"},
    {"Кол-во выстрелов за бой", "Shots", "|[%.1f]", "0", "1", "111111111111111"},
    {"Кол-во боёв в день", "BattlesAvg", "|[%.1f]", "0", "1", "111111111111111"},
    {"Боевой опыт", "battle_avg_xp", "%.0n|[%.2f]", "1", "1", "111111111111111"},
    {"Максимальный опыт за бой", "max_xp", "%.0n|", "0", "1", "100000011111111"},
    {"Максимальный урон за бой", "max_damage", "%.0n|", "0", "1", "100000011111111"},
    {"Максимум уничтожено за бой", "max_frags", "%.0n|", "0", "1", "100000011111111"},
    {"Максимум Очков победы", "max_win_points", "%.0n|", "0", "1", "000000000000010"},
    {"Уровень боёв", "LevelAvg", "[%.1f]", "1", "1", "111111111111100"},
    {"Всего танков", "VehiclesCount", "%d|", "0", "1", "111111111111100"},
    {"Топ-танков", "VehiclesTopCount", "%d|[%.2f%%]", "1", "2", "111110000110000"},
    {"Премиумных танков", "VehiclesPremCount", "%d|", "0", "1", "101111111111100"},
    {"Премиумных топ-танков", "VehiclesTopPremCount", "%d|", "0", "1", "101110001111100"},
    {"Наград «Герой битвы»", "HeroesTotal", "%.0n|[%.2f]", "1", "1", "100000000000000"},
    {"Знаков классности «Мастер»", "VehiclesMasteryHighCount", "%.0n|[%.2f%%]", "1", "0", "100000000000000"},
    {"Боевая эффективность", "[section]Basic", "", "1", "1", "111111111111111"},
    {"Уничтожено", "Frags", "%.0n|[%.2f]", "1", "4", "111111111111111"},
    {"Обнаружено", "Spotted", "%.0n|[%.2f]", "1", "4", "111111111111111"},
    {"Очки защиты базы", "Dropped", "%.0n|[%.2f]", "1", "4", "111111111111101"},
    {"Очки захвата базы", "Capture", "%.0n|[%.2f]", "1", "4", "111111111111101"},
    {"Нанесённый урон", "DamageAvg", "%.0n|[%.2f]", "1", "1", "111111111111111"},
    {"Урон боевыми резервами", "AvatarDamageAvg", "%.0n|[%.2f]", "0", "1", "000000000000010"},
    {"Номинальный топ-урон", "DamageTop", "[%.2f]", "1", "1", "111111110001100"},
    {"Урон с помощью игрока", "DamageAssist", "[%.2f]", "1", "1", "100000000000000"},
    {"Коэф. ном. урона", "ExpDamageKoef", "[%.2f]", "1", "1", "111111111111100"},
    {"Коэф. уничтожения", "FragsKoef", "[%.2f]", "1", "1", "111111111111111"},
    {"Коэф. нанес./получ. урона", "DamageKoef", "[%.2f]", "1", "1", "111111111111111"},
    {"Коэф. танкования", "TankingKoef", "[%.2f]", "1", "1", "100000000000000"},
    {"Процент попадания", "hits_percents", "[%.2f%%]", "1", "1", "111111111111111"},
    {"Выжил в боях", "survivedPercent", "%.0n|[%.2f%%]", "1", "1", "111111111111101"},
    {"Очки победы", "win_points", "%.0n|[%.2f]", "1", "1", "000000000000010"},
    {"Рейтинги", "[section]Ratings", "", "1", "1", "111111111111100"},
    {"Рейтинг эффективности", "rateEFF", "%.1f|[%.2f]", "1", "1", "111111111111100"},
    {"Рейтинг WN6", "rateWN6", "%.1f|[%.2f]", "0", "1", "111111111111100"},
    {"Рейтинг WN8", "rateWN8", "%.1f|[%.2f]", "1", "1", "111111111111100"},
    {"Рейтинг Броне-сайта", "rateBS", "%.1f|[%.2f]", "1", "1", "111111111111100"},
    {"Личный рейтинг игрока", "rateWG", "%.1f|[%.0f]", "0", "1", "100000000000000"},
    {"Потенциал силы по Иванерру", "rateIVR", "|[%.2f]", "1", "1", "100000000000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;огневая мощь", "powerIVR", "|[%.2f]", "0", "0", "100000000000000"},
    {"&nbsp;&nbsp;<span class=\"root\">&nbsp;&nbsp;</span>&nbsp;скилл", "skillIVR", "|[%.2f]", "0", "0", "100000000000000"},
    {"<span id=\"VehiclesTitle\"><b class=\"sectionHdr\"></b><span></span></span> – <span class=\"sort\"><span onclick=\"doSort(document.getElementById('VehiclesList'),3)\">бои</span>, <span onclick=\"doSort(document.getElementById('VehiclesList'),4)\">урон</span>, <span onclick=\"doSort(document.getElementById('VehiclesList'),5)\">победы</span></span>", "[section]VehiclesAll", "%d|[%.2f%%]", "1", "1", "111111111111110"},
    {"Предпочтения по уровням боёв – бои, победы", "[section]VehicleLevel", "%.0n|[%.2f%%]", "0", "2", "111110001111100"},
    {"Предпочтения по типам техники – бои, победы", "[section]VehicleClass", "%.0n|[%.2f%%]", "0", "1", "111111111111110"},
    {"Предпочтения по нациям – бои, победы", "[section]VehicleNation", "%.0n|[%.2f%%]", "0", "0", "111111111111100"},
    {"Герои битвы", "[section]Achievements_battle", "%d", "0", "2", "111111111111111"},
    {"Эпические медали", "[section]Achievements_epic", "%d", "0", "2", "111111111111111"},
    {"Почётные звания", "[section]Achievements_special", "%d", "0", "2", "111111111111111"},
    {"Памятные знаки", "[section]Achievements_memorial", "%d", "0", "2", "111111111111111"},
    {"Групповые награды", "[section]Achievements_group", "%d", "0", "2", "111111111111111"},
    {"Этапные награды", "[section]Achievements_class", "%d", "0", "2", "111111111111111"},
    {"Особые", "[section]Achievements_action", "%d", "0", "2", "111111111111111"},
    {"Знаки классности", "[section]Masteries", "|%d", "0", "2", "100000000000000"},
    {"Клан-история <span class=\"c0\">(до 01.09.2015)</span>", "[section]ClanHistoryWithRoles", "", "1", "0", "100000000000000"},
    {"Клан-пригодность", "[section]Clanable", "", "0", "0", "100000000000000"},
    {"Реплеи", "[section]Replays", "", "1", "0", "100000000000000"},
    {"Местоположение", "[section]Location", "", "1", "0", "100000000000000"},
}};

constexpr std::array<AccountLayoutRow, 2> kSemaphoreLayout{{
    {"", "Semaphore", "%s\r\n%d\r\n[%.1f%%]", "1", "1", "111111111111111"},
    {"", "SemaphoreEx", "", "1", "1", "111111111111111"},
}};

constexpr std::array<AccountLayoutRow, 7> kClaimLayout{{
    {"", "Semaphore", "%s\r\n%d\r\n[%.1f%%]", "1", "1", "111111111111111"},
    {"Состоит в клане", "[main]ClanTagName", "%s", "1", "1", "111111111111111"},
    {"Основные показатели", "[section]SemaphoreClaim", "", "1", "1", "111111111111111"},
    {"Техника <span id=\"VehiclesCounter\"></span> – <span class=\"sort\"><span onclick=\"doSort(document.getElementById('VehiclesList'),3)\">бои</span>, <span onclick=\"doSort(document.getElementById('VehiclesList'),4)\">урон</span>, <span onclick=\"doSort(document.getElementById('VehiclesList'),5)\">победы</span></span>", "[section]VehiclesAll", "%d|[%.2f%%]", "1", "1", "111111111111111"},
    {"Клан-история <span class=\"c0\">(до 01.09.2015)</span>", "[section]ClanHistoryWithRoles", "", "1", "0", "111111111111111"},
    {"Клан-пригодность", "[section]Clanable", "", "1", "0", "111111111111111"},
    {"Реплеи боёв", "[section]Replays", "", "1", "0", "100000000000000"},
}};
}  // namespace

AccountLayout FullAccountLayout() { return kFullLayout; }
AccountLayout SemaphoreAccountLayout() { return kSemaphoreLayout; }
AccountLayout ClaimAccountLayout() { return kClaimLayout; }

AccountLayout AccountLayoutForDays(int days) {
  if (days == -1) return SemaphoreAccountLayout();
  if (days == -2) return ClaimAccountLayout();
  return FullAccountLayout();
}

std::string CleanCaption(std::string_view caption) {
  std::string cleaned = Trim(caption);
  if (size_t open = cleaned.find(" ("); open != std::string::npos) {
    if (size_t close = cleaned.find(')', open); close != std::string::npos) cleaned.erase(open, close - open + 1);
  }
  return RemoveAll(cleaned, {":"});
}

RSettings BuildRowState(AccountLayout layout, int mode) {
  const std::string_view mode_key = BattleModes[mode >= 0 && mode < kModeCount ? mode : kModeAll].key;
  RSettings state;
  for (const AccountLayoutRow& row : layout) {
    state.strings.push_back(CleanCaption(row.caption));
    const bool expanded_child =
        mode_key.size() > 7 && LowerCase(row.key).find(mode_key) != std::string::npos;
    state.flags.push_back(row.visible == "1" || expanded_child);
  }
  return state;
}

}  // namespace tarvelo
