// Where the cache keeps what: folders, file names and masks, the listing of
// the stored days and the freshness of a file.
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

#include <string>
#include <string_view>
#include <vector>

#include "acquire/store/disk.h"
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

// ---- listings ---------------------------------------------------------------

// True when `name` matches `mask` ("*" any run, "?" one character), ignoring
// letter case (ASCII and Cyrillic).
bool MatchesMask(std::string_view name, std::string_view mask);

struct NewestFileResult {
  std::string name;    // file name only, empty when nothing matched
  DateTime date = 0.0; // its modification date-time, 0.0 when nothing matched
};

// The newest file of `folder` whose name matches `mask`, to the second. Files
// are considered in byte order of their names and a file wins only when
// strictly newer than every earlier one, so among equal dates the first name wins.
NewestFileResult NewestFile(const Disk& disk, std::string_view folder, std::string_view mask);

// Dates of the snapshot files ("yyyy-mm-dd.json") of a folder, newest first.
// Names whose year, month and day fields do not make a date are skipped.
std::vector<DateTime> ListSnapshotDates(const Disk& disk, std::string_view folder);

// ---- freshness --------------------------------------------------------------

// True when |now - date| is below `limit_minutes`.
bool IsFresh(DateTime date, int limit_minutes, DateTime now);

// The newest file of a folder for the choice between cache and network. With
// an update requested the folder is not looked at: the result is empty and
// dated 0.0, that is infinitely old.
struct CachedFile {
  std::string path;     // empty when none
  DateTime date = 0.0;
  bool fresh = false;   // read it instead of fetching
};
CachedFile FindCachedFile(const Disk& disk, std::string_view folder, std::string_view mask, int limit_minutes,
                          bool update_requested, DateTime now);
// The newest file of a folder whatever its age, for when the network cannot
// be reached: to be read (`fresh`) whenever there is one.
CachedFile NewestStoredFile(const Disk& disk, std::string_view folder, std::string_view mask);

}  // namespace tarvelo
