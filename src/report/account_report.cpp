#include "report/account_report.h"

#include "report/account_parts.h"
#include "report/account_rows.h"

namespace tarvelo {

namespace {

constexpr std::string_view kNoDataPage =
    "<div class=\"main\"><p class=\"r\">ОШИБКА: Нет данных для отображения. Проверьте параметры поиска, убедитесь в "
    "работоспособности сервера World of Tanks.</p></div>";

RowContent SectionContent(const AccountReportInput& input, const RowRequest& request) {
  const std::string_view key = request.key;
  if (key == "Semaphore") return detail::DayNavigation(input, request);
  if (key == "SemaphoreClaim") return detail::MainFigures(input, request);
  if (key == "VehiclesAll") return detail::VehiclesSection(input, request);
  if (key == "VehicleLevel" || key == "VehicleClass" || key == "VehicleNation") {
    return detail::PreferenceSection(input, request);
  }
  if (key.starts_with("Achievements_")) return detail::AchievementSection(input, request);
  if (key == "Masteries") return detail::MasterySection(input, request);
  if (key == "ClanHistoryWithRoles") return detail::ClanHistorySection(input, request);
  if (key == "ClanRoles") return detail::ClanRolesSection(input, request);
  if (key == "Clanable") return detail::SuitabilitySection(input, request);
  if (key == "History") return detail::HistorySection(input, request);
  if (key == "Replays") return detail::ReplaysSection(input, request);
  if (key == "Location") return detail::LocationSection(input, request);
  RowContent content;
  if (key == "Total") detail::AddModeSelector(input, content);
  return content;
}

RowContent Content(const AccountReportInput& input, const RowRequest& request) {
  const std::string_view key = request.key;
  switch (request.kind) {
    case RowKind::MainBlock:
      if (key == "AccountName") return detail::AccountHeader(input, request);
      if (key == "ClanTagName") return detail::ClanBlock(input, request);
      return RowContent{};
    case RowKind::Section:
      return SectionContent(input, request);
    case RowKind::Plain:
      break;
  }
  if (key == "Semaphore") return detail::DayNavigation(input, request);
  if (key == "SemaphoreEx") return detail::MainFigures(input, request);
  if (std::optional<RowContent> row = detail::StatisticRow(input, request)) return *row;

  // Any other key is a path in the account's document.
  RowContent content;
  content.value = json::text(input.document, key);
  content.no_data = content.value.empty();
  content.raw = true;
  return content;
}

}  // namespace

AccountReportResult AccountReport(const AccountReportInput& input) {
  AccountReportResult result;
  if (input.shown.Nickname.empty()) {
    result.html = kNoDataPage;
    return result;
  }
  LayoutRendering rows =
      RenderLayoutRows(input.layout, input.row_state, input.view.days, input.view.mode,
                       [&input](const RowRequest& request) { return Content(input, request); });
  result.html = "<table border=\"0\" cellpadding=\"1\" cellspacing=\"0\" class=\"main\">\r\n" + rows.rows + "</table>";
  result.layout_errors = std::move(rows.errors);
  return result;
}

}  // namespace tarvelo
