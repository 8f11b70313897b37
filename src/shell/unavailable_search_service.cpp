// UNFINISHED: stands in for the account and clan loaders and the reports until they
// are written; every load fails with one message paragraph.
#include "shell/search_service.h"

namespace tarvelo {

namespace {

class UnavailableSearchService final : public SearchService {
 public:
  bool LoadAccount(const SearchRequest&, std::string& messages) override {
    messages += UnavailableDataMessage();
    return false;
  }
  std::string LoadedAccountName() const override { return ""; }
  std::string AccountReportHtml(int) override { return ""; }

  bool LoadClan(const SearchRequest&, std::string& messages) override {
    messages += UnavailableDataMessage();
    return false;
  }
  std::string LoadedClanTag() const override { return ""; }
  std::string LoadedClanName() const override { return ""; }
  std::string ClanReportHtml(int, bool, const ProgressCallback&) override { return ""; }
  std::string TopTanksReportHtml(int, int, bool, const ProgressCallback&) override { return ""; }
};

}  // namespace

std::string_view UnavailableDataMessage() {
  return "<p class=\"r\">ОШИБКА: Эта версия Tarvelo пока не умеет загружать данные игроков и кланов.</p>\r\n";
}

std::unique_ptr<SearchService> MakeUnavailableSearchService() { return std::make_unique<UnavailableSearchService>(); }

}  // namespace tarvelo
