// Column widths of the two grids: defaults, the plausibility check of stored widths.
#pragma once

#include <vector>

// The default width of each column: clientWidth * 9 / divisor (20 for the symbols grid, 70 for
// the quotes grid).
int DefaultColumnWidth(int clientWidth, int divisor);

// stored as read (missing ones already the default). When any width is not positive or wider
// than the grid, or together they are wider than the grid, every column gets the default.
std::vector<int> CheckedColumnWidths(const std::vector<int>& stored, int clientWidth, int divisor);
