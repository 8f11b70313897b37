#include "acquire/loader_context.h"

#include <chrono>
#include <thread>

#include "text/encoding.h"
#include "text/replace.h"

namespace tarvelo {

namespace {


}  // namespace

void LoaderContext::Pause(int milliseconds) const {
  if (pause) {
    pause(milliseconds);
  } else {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  }
}

std::string LoaderContext::Url(std::string_view url_template, const AccountRef& account,
                               const ClanRef& clan) const {
  return FillUrlTemplate(url_template, account, clan, urls);
}

std::string FetchAnswer(const LoaderContext& context, const std::string& url) {
  if (context.prefetched != nullptr) {
    if (const auto found = context.prefetched->find(url); found != context.prefetched->end()) return found->second;
  }
  return context.fetch->GetUrlText(url);
}

std::string IncorrectDataMessage(std::string_view answer, size_t characters) {
  if (IsConnectionError(answer)) return FetchFailureMessage(answer);
  return "ОШИБКА: Получены некорректные данные (\"" + PlainExcerpt(answer, characters) + "...\").";
}

std::string AnswerShapeProblem(std::string_view answer, std::string_view status_mark) {
  if (answer.empty()) return std::string(kEmptyDataMessage);
  if (IsConnectionError(answer)) return FetchFailureMessage(answer);
  if (!Contains(answer, status_mark)) return IncorrectDataMessage(answer);
  return {};
}


bool IsConnectionError(std::string_view answer) { return IsConnectionErrorText(answer); }

std::string FetchFailureMessage(std::string_view answer) { return EscapeHtml(answer); }

std::string StoredDataWarning(std::string_view host, DateTime stored) {
  return "ПРЕДУПРЕЖДЕНИЕ: Нет связи с сервером " + EscapeHtml(host) + ", показаны данные от " + FormatDate(stored) +
         " " + FormatTime(stored) + ".";
}

}  // namespace tarvelo
