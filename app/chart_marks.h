// Where the chart's damage marks come from: each source looks at the shown series and says what
// it found. The split search is one; a check of the portfolio adds its findings the same way.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "app/chart_data.h"

using ChartMarkSource = std::function<std::vector<ChartMark>(
    const QString& portfolioDir, const QString& symbol, const ChartData& shown)>;

// The split search's candidates in the shown series, each at the newer quote of its pair, with
// the search's own result line as its text.
std::vector<ChartMark> SplitSearchMarks(const QString& symbol, const ChartData& shown);

// Gives every mark its quote index (a mark by date: the first quote of that date), drops marks
// that fit no quote and orders them by index.
std::vector<ChartMark> ResolveMarks(std::vector<ChartMark> marks, const ChartData& shown);
