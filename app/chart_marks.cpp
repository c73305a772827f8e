#include "app/chart_marks.h"

#include <algorithm>
#include <utility>

#include "commands/symbols/record_text.h"
#include "maintenance/split_search.h"

std::vector<ChartMark> SplitSearchMarks(const QString& symbol, const ChartData& shown) {
  std::vector<ChartMark> marks;
  const std::string text = ledgrix::commands::RecordBytes(symbol);
  for (int k = 0; k + 1 < shown.count(); ++k) {
    const auto [p, q] = ledgrix::maintenance::SplitCandidateRatio(
        shown.value(kChartClose, k), shown.value(kChartClose, k + 1), shown.value(kChartLow, k),
        shown.value(kChartHigh, k), shown.value(kChartLow, k + 1), shown.value(kChartHigh, k + 1));
    if (p == 0)
      continue;
    const std::string line =
        ledgrix::maintenance::SplitCandidateLine(text, p, q, shown.date(k + 1));
    marks.push_back({k + 1, shown.date(k + 1), ChartMarkKind::kSplit,
                     QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()))});
  }
  return marks;
}

std::vector<ChartMark> ResolveMarks(std::vector<ChartMark> marks, const ChartData& shown) {
  const int n = shown.count();
  // (date, index) of every quote, for marks given by date; dates need not be in order.
  std::vector<std::pair<ledgrix::formats::QuoteDate, int>> byDate;
  std::vector<ChartMark> placed;
  for (ChartMark& m : marks) {
    if (m.quoteIndex < 0 || m.quoteIndex >= n) {
      if (m.quoteIndex >= n || m.date == 0)
        continue;
      if (byDate.empty()) {
        byDate.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
          byDate.emplace_back(shown.date(i), i);
        std::sort(byDate.begin(), byDate.end());
      }
      const auto at = std::lower_bound(byDate.begin(), byDate.end(), std::make_pair(m.date, 0));
      if (at == byDate.end() || at->first != m.date)
        continue;
      m.quoteIndex = at->second;
    }
    placed.push_back(std::move(m));
  }
  std::stable_sort(placed.begin(), placed.end(), [](const ChartMark& a, const ChartMark& b) {
    return a.quoteIndex < b.quoteIndex;
  });
  return placed;
}
