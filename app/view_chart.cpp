// The chart beside the quotes grid: filled after every quotes fill, its selection tied to the
// grid's both ways, shown or hidden by View > Chart, its divider remembered.
#include <QItemSelectionModel>
#include <QSplitter>
#include <QTableView>
#include <algorithm>

#include "app/chart_view.h"
#include "app/grid_models.h"
#include "app/ledgrix_view.h"
#include "app/settings_store.h"

namespace {

const QString kChart = QStringLiteral("Chart");
const QString kShow = QStringLiteral("Show");
const QString kSplit = QStringLiteral("Split");
// The chart never gets narrower than this beside the grid.
constexpr int kMinChartWidth = 240;

// Room for seven readable columns, and the rest (at least its minimum) for the chart.
int DefaultGridWidth(int total) {
  int grid = std::clamp(total * 55 / 100, 520, 760);
  grid = std::min(grid, total - kMinChartWidth);
  return std::max(grid, total / 2);
}

}  // namespace

QWidget* CLedgrixView::AttachChart(QWidget* quotesBox) {
  m_quoteSplitter = new QSplitter(Qt::Horizontal, quotesBox);
  m_quoteSplitter->setObjectName(QStringLiteral("quoteSplitter"));
  m_quoteSplitter->setChildrenCollapsible(false);
  m_chart = new CChartView(m_quoteSplitter);
  m_quoteSplitter->addWidget(m_quoteGrid);
  m_quoteSplitter->addWidget(m_chart);
  // A wider window widens the chart; the grid keeps its width.
  m_quoteSplitter->setStretchFactor(0, 0);
  m_quoteSplitter->setStretchFactor(1, 1);
  m_chart->setVisible(m_settings.GetInt(kChart, kShow, 1) != 0);

  // The model's columns move when rows come or go: the chart lets go of them at once.
  connect(m_quoteModel, &QAbstractItemModel::modelReset, m_chart, &CChartView::Clear);
  connect(m_quoteModel, &QAbstractItemModel::rowsInserted, m_chart, &CChartView::Clear);
  connect(m_quoteGrid->selectionModel(), &QItemSelectionModel::selectionChanged, m_chart, [this] {
    const QModelIndexList rows = m_quoteGrid->selectionModel()->selectedRows();
    if (!rows.isEmpty())
      m_chart->SetSelected(m_quoteModel->rowCount() - 1 - rows.first().row());
  });
  connect(m_chart, &CChartView::quoteClicked, this,
          [this](int index) { setSelQuoteRow(m_quoteModel->rowCount() - 1 - index); });
  connect(m_quoteSplitter, &QSplitter::splitterMoved, this, [this] {
    if (m_chart->isVisible())
      m_chartSplit = m_quoteSplitter->sizes().value(0);
  });
  AddChartMarkSource([](const QString&, const QString& symbol, const ChartData& shown) {
    return SplitSearchMarks(symbol, shown);
  });
  return m_quoteSplitter;
}

void CLedgrixView::AddChartMarkSource(ChartMarkSource source) {
  m_chartMarkSources.push_back(std::move(source));
}

void CLedgrixView::UpdateChart() {
  const ChartData shown = m_quoteModel->Columns();
  const QString name = m_symbolName.trimmed();
  m_chart->SetSeries(shown, m_portfolioDir + QLatin1Char('\n') + m_symbol,
                     name.isEmpty() ? m_symbol : m_symbol + QStringLiteral("  ") + name);
  std::vector<ChartMark> marks;
  for (const ChartMarkSource& source : m_chartMarkSources) {
    std::vector<ChartMark> found = source(m_portfolioDir, m_symbol, shown);
    marks.insert(marks.end(), std::make_move_iterator(found.begin()),
                 std::make_move_iterator(found.end()));
  }
  m_chart->SetMarks(std::move(marks));
  if (m_selQuoteRow >= 0 && m_selQuoteRow < shown.count())
    m_chart->SetSelected(shown.QuoteOfRow(m_selQuoteRow));
}

bool CLedgrixView::chartShown() const {
  return !m_chart->isHidden();
}

void CLedgrixView::ShowChart(bool show) {
  if (show == chartShown())
    return;
  if (!show && m_chart->isVisible())
    m_chartSplit = m_quoteSplitter->sizes().value(0);
  m_chart->setVisible(show);
  if (show && m_chartSplit > 0) {
    const int total = m_quoteSplitter->width() - m_quoteSplitter->handleWidth();
    m_quoteSplitter->setSizes({m_chartSplit, std::max(kMinChartWidth, total - m_chartSplit)});
  }
  m_settings.SetInt(kChart, kShow, show ? 1 : 0);
}

void CLedgrixView::RestoreChartSplit() {
  const int total = m_quoteSplitter->width() - m_quoteSplitter->handleWidth();
  const int stored = m_settings.GetInt(kChart, kSplit, 0);
  // A width that leaves the chart too little room (a smaller window than last time) is dropped.
  m_chartSplit = stored > 0 && stored <= total - kMinChartWidth ? stored : DefaultGridWidth(total);
  if (chartShown())
    m_quoteSplitter->setSizes({m_chartSplit, total - m_chartSplit});
}

void CLedgrixView::SaveChartSplit() {
  if (m_chart->isVisible())
    m_chartSplit = m_quoteSplitter->sizes().value(0);
  if (m_chartSplit > 0)
    m_settings.SetInt(kChart, kSplit, m_chartSplit);
}
