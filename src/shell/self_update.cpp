#include "shell/self_update.h"

#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <utility>

#include "acquire/store/cache_files.h"
#include "shell/release_key.h"
#include "text/encoding.h"

namespace tarvelo {

namespace {

constexpr int64_t kNewerBySeconds = 864;  // 0.01 day

static_assert(kReleaseKeySize == crypto_sign_PUBLICKEYBYTES);

const unsigned char* Bytes(std::string_view text) { return reinterpret_cast<const unsigned char*>(text.data()); }

}  // namespace

bool UpdateCheckDue(DateTime now, DateTime last_check, int hours) { return now - hours / 24.0 > last_check; }

std::string UpdateNotesOf(std::string_view page, DateTime date) {
  const size_t line_break = page.find('\n');
  if (line_break == std::string_view::npos) return {};
  const std::string notes = Trim(RemoveTags(DecodeAnswer(page.substr(line_break + 1))));
  if (notes.empty()) return {};
  return "Изменения в последней версии от " + FormatDate(date) + ":\r\n" + notes + "\r\n" + std::string(52, '_') +
         "   \r\n\r\n";
}

bool IsSignedByReleaseKey(std::string_view content, std::string_view signature) {
  if (sodium_init() < 0 || signature.size() != crypto_sign_BYTES) return false;
  return crypto_sign_verify_detached(Bytes(signature), Bytes(content), content.size(), ReleasePublicKey().data()) ==
         0;
}

std::string_view UpdateErrorText(UpdateFailure failure) {
  switch (failure) {
    case UpdateFailure::kNotDownloaded:
      return "Не удалось скачать файл. Попробуйте обновить программу вручную.";
    case UpdateFailure::kNotSaved:
      return "Не удалось сохранить файл - нет доступа. Попробуйте обновить программу вручную.";
    case UpdateFailure::kNoSignature:
      return "Не удалось скачать подпись файла, скачанный файл удалён. Попробуйте обновить программу вручную.";
    case UpdateFailure::kBadSignature:
      return "Скачанный файл не прошёл проверку подписи и удалён. Попробуйте обновить программу вручную.";
    case UpdateFailure::kNotReplaced:
      break;
  }
  return "Не удалось заменить файл - возможно нет доступа. Попробуйте обновить программу вручную.";
}

bool CanReplaceProgram(const Disk& disk, const std::string& executable) {
  std::string folder = ParentFolder(executable);
  if (folder.empty()) folder = ".";
  return disk.Writable(executable) && disk.Writable(folder);
}

std::string NotReplaceableText(std::string_view executable) {
  return "Нет доступа на запись к файлу программы или к её папке:\r\n" + std::string(executable) +
         "\r\n\r\nЕсли программа установлена менеджером пакетов, обновите её через менеджер пакетов.";
}

namespace {

// The program file is larger, and may take longer, than any answer of the services.
ConnectionSettings ForProgramDownload(ConnectionSettings connection) {
  connection.limits.max_body_bytes = std::max<int64_t>(connection.limits.max_body_bytes, int64_t{512} * 1024 * 1024);
  connection.limits.total_limit = std::max<std::chrono::milliseconds>(connection.limits.total_limit, std::chrono::minutes(30));
  return connection;
}

}  // namespace

SelfUpdate::SelfUpdate(Disk& disk, std::unique_ptr<HttpGetter> getter, ConnectionSettings connection,
                       std::string site, std::string executable)
    : disk_(disk),
      getter_(std::move(getter)),
      fetch_(*getter_, ForProgramDownload(std::move(connection))),
      site_(std::move(site)),
      executable_(std::move(executable)) {}

SiteBuild SelfUpdate::Check() {
  const std::string page_url = site_ + std::string(kVersionPagePath);
  const LastModified modified = fetch_.GetUrlLastModified(page_url);
  SiteBuild build;
  if (!modified.found) return build;
  build.dated = true;
  build.date = modified.time;
  const std::optional<FileFacts> running = disk_.Facts(executable_);
  build.newer = running && std::chrono::floor<std::chrono::seconds>(running->modified.time_since_epoch()).count() +
                                   kNewerBySeconds < modified.unix_seconds;
  if (build.newer) build.notes = UpdateNotesOf(fetch_.GetUrlText(page_url), build.date);
  return build;
}

std::optional<UpdateFailure> SelfUpdate::Install(std::string_view account) {
  const std::string new_copy = executable_ + ".new";
  disk_.Remove(new_copy);
  std::optional<UpdateFailure> failure = Download(account, new_copy);
  if (!failure) failure = CheckSignature(new_copy);
  if (!failure) failure = SwapIn(new_copy);
  if (failure) disk_.Remove(new_copy);
  return failure;
}

std::optional<UpdateFailure> SelfUpdate::Download(std::string_view account, const std::string& new_copy) {
  const std::string url = site_ + std::string(kBuildPath) + "?account=" + std::string(account);
  const tarvelo::Download download = fetch_.DownloadUrl(url);
  if (download.refused) return UpdateFailure::kNotDownloaded;
  if (!download.body || download.body->empty() || !WriteTextFile(disk_, *download.body, new_copy)) {
    return UpdateFailure::kNotSaved;
  }
  return std::nullopt;
}

std::optional<UpdateFailure> SelfUpdate::CheckSignature(const std::string& new_copy) {
  const std::optional<std::string> signature = fetch_.GetUrlBody(site_ + std::string(kSignaturePath));
  if (!signature) return UpdateFailure::kNoSignature;
  if (!IsSignedByReleaseKey(ReadTextFile(disk_, new_copy, ""), *signature)) return UpdateFailure::kBadSignature;
  return std::nullopt;
}

// The new file gets the running file's permissions; a running file that cannot be
// moved aside, or a new file that cannot take its place, leaves the running file where
// it was.
std::optional<UpdateFailure> SelfUpdate::SwapIn(const std::string& new_copy) {
  const std::string old_copy = executable_ + ".old";
  if (!disk_.CopyPermissions(executable_, new_copy)) return UpdateFailure::kNotReplaced;
  disk_.Remove(old_copy);
  if (!disk_.Rename(executable_, old_copy)) return UpdateFailure::kNotReplaced;
  if (!disk_.Rename(new_copy, executable_)) {
    disk_.Rename(old_copy, executable_);
    return UpdateFailure::kNotReplaced;
  }
  return std::nullopt;
}

}  // namespace tarvelo
