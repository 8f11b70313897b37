#include "acquire/clan_info.h"

#include "acquire/store/cache_files.h"
#include "text/replace.h"

namespace tarvelo {

namespace {

// The message for an answer that cannot be used at all, empty when it can; a
// usable answer is left decoded in `document`.
std::string AnswerProblem(std::string_view answer, json::Value& document) {
  if (std::string problem = AnswerShapeProblem(answer, "status"); !problem.empty()) return problem;
  document = DecodeApiAnswer(answer);
  if (!StatusIsOk(document)) return "ОШИБКА: Ошибка в данных (\"" + StatusAndError(document) + "\").";
  return {};
}

void Store(const LoaderContext& context, const std::string& folder, ClanInfo& info) {
  Disk& disk = *context.disk;
  if (std::string problem = PrepareCacheFolder(disk, context.clan_cache_folder, folder); !problem.empty()) {
    info.save_messages.push_back(std::move(problem));
    return;
  }
  const std::string path = JoinPath(folder, SnapshotFileName(DateOf(context.Now())));
  if (!WriteTextFile(disk, info.answer, path)) info.save_messages.push_back(SaveFailureMessage(path));
}

}  // namespace

ClanInfo LoadClanInfo(const LoaderContext& context, const std::string& clan_id, bool update_requested,
                      std::string& unreachable_host) {
  ClanInfo info;
  const Disk& disk = *context.disk;
  const std::string folder = EntityFolderOf(context.clan_cache_folder, clan_id);
  info.cached = FindCachedFile(disk, folder, kSnapshotMask, SnapshotFresh, update_requested, context.Now());
  if (!info.cached.fresh) {
    info.cached = {};
    const std::string url = context.Url(context.urls.hosts.Api + std::string(kClanInfoPath), {}, {clan_id, ""});
    info.answer = unreachable_host.empty() ? FetchAnswer(context, url) : ConnectionErrorText(url);
    if (info.answer == ConnectionErrorText(url)) {
      unreachable_host = HostOf(url);
      info.cached = NewestStoredFile(disk, folder, kSnapshotMask);
      info.stored_instead = info.cached.fresh;
    }
    info.answer = ReplaceAll(info.answer, kMetaCount, "");
  }
  if (info.cached.fresh) info.answer = ReadTextFile(disk, info.cached.path, "");
  json::Value document;
  info.problem = AnswerProblem(info.answer, document);
  if (!info.problem.empty()) return info;
  info.data_missing = !HasEntityData(document, clan_id);
  if (info.data_missing) return info;
  info.document = std::move(document);
  if (!info.cached.fresh) Store(context, folder, info);
  return info;
}

}  // namespace tarvelo
