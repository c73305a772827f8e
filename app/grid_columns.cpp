// Creating the grid columns with their stored widths and saving them on close.
#include "app/grid_columns.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include "app/grid_models.h"
#include "app/ledgrix_view.h"
#include "app/settings_store.h"

int DefaultColumnWidth(int clientWidth, int divisor) {
  return clientWidth * 9 / divisor;
}

std::vector<int> CheckedColumnWidths(const std::vector<int>& stored, int clientWidth, int divisor) {
  long long sum = 0;
  bool usable = true;
  for (int width : stored) {
    // A negative width would break the header; it is as unusable as 0.
    if (width <= 0 || width > clientWidth)
      usable = false;
    sum += width;
  }
  if (sum > clientWidth)
    usable = false;
  if (usable)
    return stored;
  return std::vector<int>(stored.size(), DefaultColumnWidth(clientWidth, divisor));
}

namespace {

void ApplyWidths(QTableView* grid, CSettingsStore& settings, const QString& section, int columns,
                 int divisor) {
  const int clientWidth = grid->viewport()->width();
  const int fallback = DefaultColumnWidth(clientWidth, divisor);
  std::vector<int> stored;
  for (int i = 0; i < columns; ++i)
    stored.push_back(settings.GetInt(section, QStringLiteral("col%1").arg(i), fallback));
  const std::vector<int> widths = CheckedColumnWidths(stored, clientWidth, divisor);
  for (int i = 0; i < columns; ++i)
    grid->horizontalHeader()->resizeSection(i, widths[static_cast<std::size_t>(i)]);
}

void SaveWidths(QTableView* grid, CSettingsStore& settings, const QString& section, int columns) {
  for (int i = 0; i < columns; ++i)
    settings.SetInt(section, QStringLiteral("col%1").arg(i),
                    grid->horizontalHeader()->sectionSize(i));
}

}  // namespace

void CLedgrixView::CreateColumns() {
  // The grid's default columns follow its width beside the chart.
  RestoreChartSplit();
  ApplyWidths(m_symbolGrid, m_settings, QStringLiteral("SymbolGrid"), 2, 20);
  ApplyWidths(m_quoteGrid, m_settings, QStringLiteral("QuoteGrid"), CQuotesModel::kColumns, 70);
}

void CLedgrixView::SaveColumnWidths() {
  SaveChartSplit();
  SaveWidths(m_symbolGrid, m_settings, QStringLiteral("SymbolGrid"), 2);
  SaveWidths(m_quoteGrid, m_settings, QStringLiteral("QuoteGrid"), CQuotesModel::kColumns);
}
