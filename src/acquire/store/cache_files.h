// The cache's files read and written through the disk, with what the debug log
// and the pages say of them.
#pragma once

#include <string>
#include <string_view>

#include "acquire/store/disk.h"
#include "text/russian.h"

namespace tarvelo {

// The whole file, or `default_text` when it cannot be read. Logs the read.
std::string ReadTextFile(const Disk& disk, const std::string& path, std::string_view default_text);

// Writes `text` as the whole content of `path` with the disk's safe write,
// creating the file's folder when missing (one level only). Logs the write and
// any failure; true when written.
bool WriteTextFile(Disk& disk, std::string_view text, const std::string& path);

// Writes `text` over `path` with WriteTextFile and puts the file's previous
// modification time back (when it had one), so a rewrite does not make a
// file look new. True when written.
bool RewriteKeepingDate(Disk& disk, std::string_view text, const std::string& path);

// Sets a file's local modification date-time (whole seconds); false on failure.
bool SetFileDate(Disk& disk, const std::string& path, DateTime date);

// Removes what safe writes interrupted by a crash or a kill left behind: the
// temporary files of the disk's writes (".tarvelo-" and six letters or digits)
// and of the debug log of older versions ("debug.txt." and six) whose last
// change lies more than `older_than_minutes` before `now`, in the cache folder,
// its user and clan folders and the folders directly below those. Nothing else
// is touched, symbolic links neither. Returns the number of files removed.
int RemoveStaleTemporaryFiles(Disk& disk, std::string_view cache_folder, FileTime now,
                              int older_than_minutes = 60);

// The message given when a cache folder is missing or cannot be created.
inline constexpr std::string_view kFolderMessage = "ОШИБКА: Не удалось создать папку для хранения кеша данных: ";
// The message given when a data file cannot be written.
inline constexpr std::string_view kSaveMessage = "ОШИБКА: Не удалось сохранить файл данных: ";
// kSaveMessage + the path, which may hold a name from outside, escaped for the page.
std::string SaveFailureMessage(std::string_view path);

// Prepares `folder`, which lies directly below `cache_root` (the user or clan
// cache folder): empty when it exists or was created, else the message naming
// the missing root or the folder that could not be created.
std::string PrepareCacheFolder(Disk& disk, std::string_view cache_root, std::string_view folder);

}  // namespace tarvelo
