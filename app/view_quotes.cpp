// The quotes grid: the selected symbol's quotes, newest first, read in windows of 400 from the
// newest back through one SeriesReader, with a progress bar over the status bar's message area.
#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTableView>

#include "app/grid_models.h"
#include "app/ledgrix_view.h"
#include "commands/symbols/record_text.h"
#include "formats/dates.h"
#include "formats/series.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace {

namespace fmt = ledgrix::formats;

constexpr int kWindow = 400;
constexpr int kProgressStep = 10;
constexpr int kMaxSymbolText = 16;
// A fill expected to take longer than this shows its first screenful before reading on.
constexpr qint64 kSlowFillNs = 60'000'000;

// The status bar's progress bar for the length of a fill; updated at most every few tens of
// milliseconds, since repainting it for every step would cost more than the reading.
class FillProgress {
 public:
  FillProgress(QStatusBar* statusBar, int maximum) {
    if (!statusBar)
      return;
    m_statusBar = statusBar;
    m_bar = new QProgressBar(statusBar);
    m_bar->setObjectName(QStringLiteral("quotesProgress"));
    m_bar->setRange(0, qMax(0, maximum));
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setMaximumHeight(statusBar->fontMetrics().height() + 2);
    statusBar->addWidget(m_bar, 1);
    m_bar->show();
    m_clock.start();
  }
  ~FillProgress() {
    if (!m_bar)
      return;
    m_statusBar->removeWidget(m_bar);
    delete m_bar;
  }
  FillProgress(const FillProgress&) = delete;
  FillProgress& operator=(const FillProgress&) = delete;

  // done rows are in: the bar moves in steps of ten, repainted at most every 30 ms.
  void StepTo(int done) {
    m_position = done - done % kProgressStep;
    if (m_bar && m_clock.elapsed() >= 30) {
      m_bar->setValue(qMin(m_position, m_bar->maximum()));
      m_clock.restart();
    }
  }
  QProgressBar* bar() const { return m_bar; }

 private:
  QStatusBar* m_statusBar = nullptr;
  QProgressBar* m_bar = nullptr;
  QElapsedTimer m_clock;
  int m_position = 0;
};

QString DateText(const fmt::QuoteSeries& series) {
  const fmt::QuoteDate day = series.date.empty() ? 0 : series.date[0];
  return QString::fromStdString(fmt::DisplayDate(day));
}

}  // namespace

void CLedgrixView::FillQuotesGrid(int row) {
  ResetView(4);
  if (m_symbolModel->rowCount() == 0)
    return;
  m_symbol = m_symbolModel->Text(m_selSymbolRow, 0).left(kMaxSymbolText);
  m_symbolName = m_symbolModel->Text(m_selSymbolRow, 1).left(kMaxSymbolText);
  const std::filesystem::path dir = ledgrix::commands::FsPath(m_portfolioDir);
  const std::string symbol = m_symbol.toStdString();

  // One lookup for the whole fill; each window is then a read of the open quote file.
  fmt::SeriesReader reader;
  fmt::QuoteSeries series;
  fmt::InitSeries(series, 1);
  fmt::StatusCode counted = reader.Open(dir, symbol);
  if (counted == fmt::kOk)
    counted = reader.Load(series, 0, 0);
  m_quoteCount = series.total;
  fmt::FreeSeries(series);
  m_quoteModel->Reserve(m_quoteCount);
  if (counted != fmt::kOk) {
    Q_EMIT stateChanged();
    m_prompt.Message(ledgrix::maintenance::kQuotesGridFailure);
    return;
  }
  if (fmt::InitSeries(series, kWindow) != fmt::kOk) {
    Q_EMIT stateChanged();
    m_prompt.Message(ledgrix::maintenance::kTooManyBars);
    return;
  }

  {
    FillProgress progress(m_statusBar, m_quoteCount - 1);
    int done = 0;
    QElapsedTimer clock;
    clock.start();
    while (done != m_quoteCount) {
      const int chunk = qMin(kWindow, m_quoteCount - done);
      const int start = m_quoteCount - done - chunk;
      if (reader.Load(series, start, chunk) != fmt::kOk ||
          static_cast<int>(series.date.size()) < chunk) {
        m_quoteModel->Flush();
        m_prompt.Message(ledgrix::maintenance::kQuotesGridFailure);
        break;
      }
      m_quoteModel->AddPendingNewestFirst(series, chunk);
      const bool first = done == 0;
      done += chunk;
      progress.StepTo(done);
      if (first) {
        // The first screenful is drawn at once when reading the rest will take a while; a
        // forced repaint costs more than a fast fill does. The views learn of the other rows
        // at the end: telling them window by window costs more than reading the windows.
        m_quoteModel->Flush();
        const qint64 perWindow = qMax<qint64>(1, clock.nsecsElapsed());
        const qint64 windowsLeft = (m_quoteCount - done) / kWindow + 1;
        if (perWindow * windowsLeft > kSlowFillNs)
          m_quoteGrid->viewport()->repaint();
      }
    }
    m_quoteModel->Flush();
  }

  reader.Load(series, 0, 1);
  m_firstDateText = DateText(series);
  reader.Load(series, -1, 1);
  m_lastDateText = DateText(series);
  fmt::FreeSeries(series);

  m_selQuoteRow = row;
  if (m_quoteCount != 0 && row >= 0 && row < m_quoteModel->rowCount()) {
    const QModelIndex index = m_quoteModel->index(row, 0);
    m_quoteGrid->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_quoteGrid->scrollTo(index);
  }
  UpdateChart();
  Q_EMIT stateChanged();
}
