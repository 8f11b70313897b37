// A search service that counts the searches run through it, so a script can tell
// from the exit code whether each one gave a report.
#pragma once

#include <memory>
#include <string>

#include "shell/search_service.h"

namespace tarvelo {

struct SearchTally {
  int searches = 0;
  int failed = 0;
  std::string failure_text;  // the plain text of the failed searches' messages, a line each
};

class TalliedSearchService final : public SearchService {
 public:
  explicit TalliedSearchService(std::unique_ptr<SearchService> inner) : inner_(std::move(inner)) {}

  const SearchTally& tally() const { return tally_; }

  bool LoadAccount(const SearchRequest& request, LoaderMessages& messages) override;
  std::string LoadedAccountName() const override { return inner_->LoadedAccountName(); }
  ReportPage AccountReportHtml(const ReportView& view) override { return inner_->AccountReportHtml(view); }
  bool LoadClan(const SearchRequest& request, LoaderMessages& messages) override;
  std::string LoadedClanTag() const override { return inner_->LoadedClanTag(); }
  std::string LoadedClanName() const override { return inner_->LoadedClanName(); }
  std::string ClanReportHtml(const ReportView& view, bool update, const ProgressCallback& progress) override {
    return inner_->ClanReportHtml(view, update, progress);
  }
  std::string TopTanksReportHtml(const ReportView& view, bool update, const ProgressCallback& progress) override {
    return inner_->TopTanksReportHtml(view, update, progress);
  }
  std::string ClanActivityHtml(const ReportView& view, bool update, const ProgressCallback& progress) override {
    return inner_->ClanActivityHtml(view, update, progress);
  }

 private:
  // Counts one load that added messages from `first_new` on.
  bool Count(bool found, const LoaderMessages& messages, size_t first_new);

  std::unique_ptr<SearchService> inner_;
  SearchTally tally_;
};

}  // namespace tarvelo
