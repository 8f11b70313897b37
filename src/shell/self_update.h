// The program's own site: whether it offers a newer build, and the update to it. A
// downloaded build takes the running file's place only when its detached signature was
// made with the release key (release_key.h).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "acquire/net/http_fetch.h"
#include "acquire/store/disk.h"
#include "text/russian.h"

namespace tarvelo {

inline constexpr std::string_view kVersionPagePath = "/Tarvelo.html";
inline constexpr std::string_view kBuildPath = "/Tarvelo";
inline constexpr std::string_view kSignaturePath = "/Tarvelo.sig";

inline constexpr std::string_view kNotRestartedText =
    "Программа обновлена, но запустить новую версию не удалось. Запустите программу заново.";

// Whether the last check that found nothing new lies more than `hours` back.
bool UpdateCheckDue(DateTime now, DateTime last_check, int hours);

// What the version page tells.
struct SiteBuild {
  bool dated = false;  // the page has a modification date
  DateTime date = 0;   // that date in local time
  bool newer = false;  // the page is more than 0.01 day newer than the running file
  std::string notes;   // the change notes that open the update question; may be empty
};

// The change notes of a version page: its text after the first line break, tags
// removed and trimmed, under a heading with `date` and above a rule; empty when no
// text is left.
std::string UpdateNotesOf(std::string_view page, DateTime date);

// Whether `signature` is a detached Ed25519 signature of `content` by the release key.
bool IsSignedByReleaseKey(std::string_view content, std::string_view signature);

enum class UpdateFailure { kNotDownloaded, kNotSaved, kNoSignature, kBadSignature, kNotReplaced };

// The text of the error box.
std::string_view UpdateErrorText(UpdateFailure failure);

// Whether the user may replace the program file: it and its folder are writable.
bool CanReplaceProgram(const Disk& disk, const std::string& executable);
// What the update command says instead of updating a program the user cannot replace.
std::string NotReplaceableText(std::string_view executable);

class SelfUpdate {
 public:
  // `site` is the scheme and host of the program's site, `executable` the running file.
  SelfUpdate(Disk& disk, std::unique_ptr<HttpGetter> getter, ConnectionSettings connection, std::string site,
             std::string executable);

  // Asks the site for the version page's date and, when it is newer, for its notes.
  SiteBuild Check();

  // Downloads the build for `account` beside the running file (".new"), checks its
  // signature and swaps it in, the running file becoming ".old". Nothing when that is
  // done; on a failure the running file stays in its place and no ".new" is left.
  std::optional<UpdateFailure> Install(std::string_view account);

 private:
  std::optional<UpdateFailure> Download(std::string_view account, const std::string& new_copy);
  std::optional<UpdateFailure> CheckSignature(const std::string& new_copy);
  std::optional<UpdateFailure> SwapIn(const std::string& new_copy);

  Disk& disk_;
  std::unique_ptr<HttpGetter> getter_;
  HttpFetch fetch_;
  std::string site_;
  std::string executable_;
};

}  // namespace tarvelo
