#include "report/report_view.h"

namespace tarvelo {

std::string RequestOptions(std::string_view mode_key, std::optional<int> days, std::string_view letters,
                           std::optional<int> chart) {
  std::string options;
  if (!mode_key.empty()) options.append("&mode=").append(mode_key);
  if (days) options.append("&days=").append(std::to_string(*days)).append(letters);
  if (chart) options.append("&chart=").append(std::to_string(*chart));
  return options;
}

std::optional<int> PeriodOption(const ReportView& view) {
  if (view.days == 0) return std::nullopt;
  return view.days;
}

std::string ViewOptions(const ReportView& view) {
  return RequestOptions(view.mode_key, PeriodOption(view), view.letters, view.chart);
}

std::string ModeOption(const ReportView& view) { return RequestOptions(view.mode_key); }

}  // namespace tarvelo
