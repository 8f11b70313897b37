// The disk cache of downloaded answers and daily snapshots.
//
// Layout below the cache folder (the shell owns it and passes it in):
//   user/index/NICK=ID.id         account search answer
//   user/ID/yyyy-mm-dd.json       one account snapshot per day
//   user/ID/*.dat                 side files (replays, location, fame points, histories)
//   clan/index/TAG=CLANID.id      clan search answer page
//   clan/CLANID/yyyy-mm-dd.json   one clan snapshot per day
//   clan/CLANID/ivanner.dat       the alliance site's clan page
//
// Names that come from outside (nicknames, tags, ids typed by the user) pass
// through `CacheNamePart` before they become part of a file name or a mask, so
// they never leave their folder and never act as wildcards.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/russian.h"

namespace tarvelo {

// Freshness limits in minutes: snapshots, and index and side files.
inline constexpr int SnapshotFresh = 180;
inline constexpr int SideFileFresh = 720;

// File names inside an account or clan folder.
inline constexpr std::string_view kSnapshotMask = "*.json";
inline constexpr std::string_view kNameHistoryFile = "clan_history.dat";
inline constexpr std::string_view kRoleHistoryFile = "role_history.dat";
inline constexpr std::string_view kReplaysFile = "replays.dat";
inline constexpr std::string_view kLocationFile = "location.dat";
inline constexpr std::string_view kOldLocationFile = "region.dat";
inline constexpr std::string_view kFamePointsFile = "rating.dat";
inline constexpr std::string_view kAllianceFile = "ivanner.dat";
inline constexpr std::string_view kDebugFile = "debug.txt";

// ---- names and paths ------------------------------------------------------

// `name` made safe as (part of) one file name. Ordinary names, Cyrillic
// included, come back unchanged. The bytes "%", "/", "\", NUL, "=", "*" and "?"
// become "%" and two upper-case hex digits, and a name that is exactly "." or
// ".." has its dots escaped the same way. The mapping is one-to-one, so two
// different names never share a file.
std::string CacheNamePart(std::string_view name);
// The inverse of CacheNamePart.
std::string OriginalCacheName(std::string_view part);

// True for an account or clan id as the publisher gives them: decimal digits,
// at least one. Only such an id names a folder of the cache.
bool IsDecimalId(std::string_view id);

// folder + "/" + name (no doubled separator when the folder already ends in one).
std::string JoinPath(std::string_view folder, std::string_view name);

std::string UserCacheFolderOf(std::string_view cache_folder);  // cache/user
std::string ClanCacheFolderOf(std::string_view cache_folder);  // cache/clan
std::string IndexFolderOf(std::string_view user_or_clan_folder);  // .../index
// The folder of one account (below the user folder) or one clan (below the clan folder).
std::string EntityFolderOf(std::string_view user_or_clan_folder, std::string_view id);

// "NICK=ID.id" or "TAG=CLANID.id".
std::string IndexFileName(std::string_view name, std::string_view id);
// Masks for NewestFile: index file by name ("NICK=*.id") and by id ("*=ID.id").
std::string IndexMaskByName(std::string_view name);
std::string IndexMaskById(std::string_view id);
// "yyyy-mm-dd.json" for the calendar date of `date`.
std::string SnapshotFileName(DateTime date);

// ---- file primitives --------------------------------------------------------

// The whole file, or `default_text` when it cannot be read. Logs the read.
std::string ReadTextFile(const std::string& path, std::string_view default_text);

// Writes `text` as the whole content of `path`, creating the file's folder when
// missing (one level only). The text goes to a temporary file in the same
// folder first and replaces the old file only when it is completely on disk,
// so a failed write leaves any previous file as it was. The new file is dated
// by the program clock. Logs the write and any failure; true when written.
bool WriteTextFile(std::string_view text, const std::string& path);

// Removes what safe writes interrupted by a crash or a kill left behind: the
// temporary files of WriteTextFile (".tarvelo-" and six letters or digits) and of
// the debug log ("debug.txt." and six) whose last change is older than
// `older_than_minutes`, in the cache folder, its user and clan folders and the
// folders directly below those. Nothing else is touched, symbolic links neither.
// Returns the number of files removed.
int RemoveStaleTemporaryFiles(std::string_view cache_folder, int older_than_minutes = 60);

// Writes `text` over `path` with WriteTextFile and puts the file's previous
// modification date back (when it had one), so a rewrite does not make a
// file look new. True when written.
bool RewriteKeepingDate(std::string_view text, const std::string& path);

// Local modification date-time of a file (whole seconds), 0.0 when missing.
DateTime FileDate(const std::string& path);

// Sets a file's local modification date-time (whole seconds); false on failure.
bool SetFileDate(const std::string& path, DateTime date);

// True when `name` matches `mask` ("*" any run, "?" one character), ignoring
// letter case (ASCII and Cyrillic).
bool MatchesMask(std::string_view name, std::string_view mask);

struct NewestFileResult {
  std::string name;    // file name only, empty when nothing matched
  DateTime date = 0.0; // its modification date-time, 0.0 when nothing matched
};

// The newest regular file of `folder` whose name matches `mask`. Files are
// considered in byte order of their names and a file wins only when strictly
// newer than every earlier one, so among equal dates the first name wins.
NewestFileResult NewestFile(std::string_view folder, std::string_view mask);
std::string NewestFileName(std::string_view folder, std::string_view mask);

// Dates of the snapshot files ("yyyy-mm-dd.json") of a folder, newest first.
// Names whose year, month and day fields do not make a date are skipped.
std::vector<DateTime> ListSnapshotDates(std::string_view folder);

// ---- freshness --------------------------------------------------------------

// True when |now - date| is below `limit_minutes`.
bool IsFresh(DateTime date, int limit_minutes);

// The newest file of a folder for the choice between cache and network. With
// an update requested the folder is not looked at: the result is empty and
// dated 0.0, that is infinitely old.
struct CachedFile {
  std::string path;     // empty when none
  DateTime date = 0.0;
  bool fresh = false;   // read it instead of fetching
};
CachedFile FindCachedFile(std::string_view folder, std::string_view mask, int limit_minutes,
                          bool update_requested);
// The newest file of a folder whatever its age, for when the network cannot
// be reached: to be read (`fresh`) whenever there is one.
CachedFile NewestStoredFile(std::string_view folder, std::string_view mask);

// ---- saving -------------------------------------------------------------------

// The message given when a cache folder is missing or cannot be created.
inline constexpr std::string_view kFolderMessage = "ОШИБКА: Не удалось создать папку для хранения кеша данных: ";
// The message given when a data file cannot be written.
inline constexpr std::string_view kSaveMessage = "ОШИБКА: Не удалось сохранить файл данных: ";
// kSaveMessage + the path, which may hold a name from outside, escaped for the page.
std::string SaveFailureMessage(std::string_view path);

// Prepares `folder`, which lies directly below `cache_root` (the user or clan
// cache folder): empty when it exists or was created, else the message naming
// the missing root or the folder that could not be created.
std::string PrepareCacheFolder(std::string_view cache_root, std::string_view folder);

// What decides the date an account snapshot is stored under.
struct AccountSnapshotFacts {
  DateTime last_battle = 0.0;  // "last_battle_time" as a UTC date-time
  // The account's battles in the selected mode are fewer than the sum over its vehicles.
  bool fewer_battles_than_vehicles = false;
};

// The clock the date rule reads: local now, local today and the whole hours
// of the standard time-zone offset (east of UTC positive).
struct SnapshotClock {
  DateTime now = 0.0;
  DateTime today = 0.0;
  int zone_hours = 0;
};
SnapshotClock CurrentSnapshotClock();

// The dates the snapshot goes under, in writing order. `exists(date)` tells
// whether the file of that date is already there; a date planned earlier in
// the list counts as existing.
std::vector<DateTime> PlanSnapshotDates(const AccountSnapshotFacts& facts, const SnapshotClock& clock,
                                        const std::function<bool(DateTime)>& exists);

// Stores an account snapshot in `account_folder` under the dates of the rule
// and returns one message per failed write (empty when all went well).
std::vector<std::string> SaveAccountSnapshot(std::string_view text, const AccountSnapshotFacts& facts,
                                             std::string_view account_folder, const SnapshotClock& clock);

}  // namespace tarvelo
