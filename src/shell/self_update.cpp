#include "shell/self_update.h"

#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "acquire/snapshot_cache.h"
#include "shell/release_key.h"
#include "text/encoding.h"

namespace tarvelo {

namespace {

constexpr int64_t kNewerBySeconds = 864;  // 0.01 day

static_assert(kReleaseKeySize == crypto_sign_PUBLICKEYBYTES);

const unsigned char* Bytes(std::string_view text) { return reinterpret_cast<const unsigned char*>(text.data()); }

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

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

bool CanReplaceProgram(const std::string& executable) {
  std::string folder = std::filesystem::path(executable).parent_path().string();
  if (folder.empty()) folder = ".";
  return access(executable.c_str(), W_OK) == 0 && access(folder.c_str(), W_OK) == 0;
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

SelfUpdate::SelfUpdate(std::unique_ptr<HttpGetter> getter, ConnectionSettings connection, std::string site,
                       std::string executable)
    : getter_(std::move(getter)),
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
  struct stat running {};
  build.newer = stat(executable_.c_str(), &running) == 0 && running.st_mtime + kNewerBySeconds < modified.unix_seconds;
  if (build.newer) build.notes = UpdateNotesOf(fetch_.GetUrlText(page_url), build.date);
  return build;
}

std::optional<UpdateFailure> SelfUpdate::Install(std::string_view account) {
  const std::string new_copy = executable_ + ".new";
  std::remove(new_copy.c_str());
  std::optional<UpdateFailure> failure = Download(account, new_copy);
  if (!failure) failure = CheckSignature(new_copy);
  if (!failure) failure = SwapIn(new_copy);
  if (failure) std::remove(new_copy.c_str());
  return failure;
}

std::optional<UpdateFailure> SelfUpdate::Download(std::string_view account, const std::string& new_copy) {
  const std::string url = site_ + std::string(kBuildPath) + "?account=" + std::string(account);
  const int64_t written = fetch_.DownloadUrlToFile(url, new_copy);
  if (written < 0) return UpdateFailure::kNotDownloaded;
  if (written == 0 || !IsRegularFile(new_copy)) return UpdateFailure::kNotSaved;
  return std::nullopt;
}

std::optional<UpdateFailure> SelfUpdate::CheckSignature(const std::string& new_copy) {
  const std::optional<std::string> signature = fetch_.GetUrlBody(site_ + std::string(kSignaturePath));
  if (!signature) return UpdateFailure::kNoSignature;
  if (!IsSignedByReleaseKey(ReadTextFile(new_copy, ""), *signature)) return UpdateFailure::kBadSignature;
  return std::nullopt;
}

// The new file gets the running file's permissions; a running file that cannot be
// moved aside, or a new file that cannot take its place, leaves the running file where
// it was.
std::optional<UpdateFailure> SelfUpdate::SwapIn(const std::string& new_copy) {
  const std::string old_copy = executable_ + ".old";
  struct stat running {};
  if (stat(executable_.c_str(), &running) != 0 || chmod(new_copy.c_str(), running.st_mode & 07777) != 0) {
    return UpdateFailure::kNotReplaced;
  }
  std::remove(old_copy.c_str());
  if (std::rename(executable_.c_str(), old_copy.c_str()) != 0) return UpdateFailure::kNotReplaced;
  if (std::rename(new_copy.c_str(), executable_.c_str()) != 0) {
    std::rename(old_copy.c_str(), executable_.c_str());
    return UpdateFailure::kNotReplaced;
  }
  return std::nullopt;
}

}  // namespace tarvelo
