// Portfolio > Check...: the check of the open portfolio with a progress bar, its findings in a
// window of their own, and the marks of the last check on the chart.
#pragma once

#include "app/chart_marks.h"

class CommandHost;

namespace ledgrix::commands {

// Runs the check (cancellable) and opens the findings window; nothing when cancelled.
void CheckPortfolio(CommandHost& host);

// The chart marks of the shown symbol from the last check of its portfolio.
ChartMarkSource CheckChartMarks();

}  // namespace ledgrix::commands
