// The main form: construction, layout, the deferred start, resets, the portfolio path and the
// selection flow from the grids' selection models.
#include "app/ledgrix_view.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/grid_delegate.h"
#include "app/grid_models.h"
#include "app/searching_dialog.h"
#include "app/settings_store.h"
#include "app/volume_list.h"
#include "app/wait_cursor.h"
#include "commands/symbols/record_text.h"
#include "maintenance/messages.h"
#include "maintenance/symbol_ops.h"
#include "platform/files.h"

namespace {

// Path buffers of the portfolio's paths held fewer characters than this.
constexpr int kMaxPathLength = 299;
constexpr int kMaxStartDir = 300;

QTableView* MakeGrid(QAbstractItemModel* model, QWidget* parent, const char* name) {
  auto* grid = new QTableView(parent);
  grid->setObjectName(QString::fromLatin1(name));
  grid->setModel(model);
  grid->setItemDelegate(new CGridDelegate(grid));
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setShowGrid(false);
  grid->setSortingEnabled(false);
  grid->setWordWrap(false);
  grid->setTabKeyNavigation(false);
  grid->verticalHeader()->hide();
  // Fixed row height: one line of the grid's font and the ruling.
  grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
  grid->verticalHeader()->setMinimumSectionSize(1);
  QHeaderView* header = grid->horizontalHeader();
  header->setSectionsClickable(false);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(false);
  header->setSectionResizeMode(QHeaderView::Interactive);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setHighlightSections(false);
  // The focus rectangle spans the current row: repaint when it moves.
  QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentRowChanged,
                   grid->viewport(), [grid] { grid->viewport()->update(); });
  return grid;
}

}  // namespace

CLedgrixView::CLedgrixView(CSettingsStore& settings, VolumeList& volumes,
                           ledgrix::maintenance::Prompt& prompt, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_volumes(volumes), m_prompt(prompt) {
  m_limitSearch = m_settings.GetInt(QStringLiteral("Search"), QStringLiteral("Limit"), 1);
  m_masterFix = m_settings.GetInt(QStringLiteral("Search"), QStringLiteral("MasterFix"), 0);
  m_startDir = QDir::toNativeSeparators(QDir::currentPath()).left(kMaxStartDir);
  m_searchFilter =
      m_settings.GetString(QStringLiteral("Search"), QStringLiteral("Name"), m_startDir);
  m_searchFilterUpper = m_searchFilter.toUpper();
  BuildLayout();
}

CLedgrixView::~CLedgrixView() {
  delete m_searchingDialog;
  m_searchingDialog = nullptr;
}

void CLedgrixView::BuildLayout() {
  setObjectName(QStringLiteral("ledgrixView"));
  m_symbolModel = new CSymbolsModel(this);
  m_quoteModel = new CQuotesModel(this);

  auto* portfolios = new QGroupBox(QStringLiteral("Portfolios"), this);
  m_driveCombo = new QComboBox(portfolios);
  m_driveCombo->setObjectName(QStringLiteral("driveCombo"));
  m_driveCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  m_driveCombo->setMinimumContentsLength(12);
  m_portfolioList = new QListWidget(portfolios);
  m_portfolioList->setObjectName(QStringLiteral("portfolioList"));
  m_portfolioList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_portfolioList->setTextElideMode(Qt::ElideMiddle);
  auto* driveRow = new QHBoxLayout;
  driveRow->addWidget(m_driveCombo);
  driveRow->addStretch(1);
  auto* portfoliosLayout = new QVBoxLayout(portfolios);
  portfoliosLayout->addLayout(driveRow);
  portfoliosLayout->addWidget(m_portfolioList, 1);

  auto* symbols = new QGroupBox(QStringLiteral("Symbols"), this);
  m_symbolGrid = MakeGrid(m_symbolModel, symbols, "symbolGrid");
  auto* symbolsLayout = new QVBoxLayout(symbols);
  symbolsLayout->addWidget(m_symbolGrid);

  auto* quotes = new QGroupBox(QStringLiteral("Quotes"), this);
  m_quoteGrid = MakeGrid(m_quoteModel, quotes, "quoteGrid");
  auto* quotesLayout = new QVBoxLayout(quotes);
  quotesLayout->addWidget(AttachChart(quotes));

  // The form's proportions: portfolios and symbols side by side above the taller quotes.
  auto* top = new QHBoxLayout;
  top->addWidget(portfolios, 10);
  top->addWidget(symbols, 9);
  auto* form = new QVBoxLayout(this);
  form->addLayout(top, 110);
  form->addWidget(quotes, 255);

  connect(m_driveCombo, &QComboBox::activated, this, [this](int) { OnDriveChange(); });
  connect(m_portfolioList, &QListWidget::currentRowChanged, this, [this](int) {
    if (!m_fillingPortfolioList)
      OnPortfolioChange();
  });
  connect(m_symbolGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { OnSymbolSelectionChanged(); });
  connect(m_quoteGrid->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { OnQuoteSelectionChanged(); });
  m_symbolGrid->viewport()->installEventFilter(this);
}

void CLedgrixView::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (!m_paintTimerStarted) {
    m_paintTimerStarted = true;
    QTimer::singleShot(100, this, [this] { OnTimer(); });
  }
}

void CLedgrixView::OnTimer() {
  CreateColumns();
  InitialScan();
}

bool CLedgrixView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_symbolGrid->viewport() && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    OnSymbolClick();
  }
  return QWidget::eventFilter(watched, event);
}

void CLedgrixView::ResetView(int level) {
  if (level <= 1)
    m_portfoliosFound = false;
  if (level <= 2) {
    // No portfolio shown, no journal.
    m_undoLabel.reset();
    m_redoLabel.reset();
    m_fillingPortfolioList = true;
    m_portfolioList->clear();
    m_fillingPortfolioList = false;
  }
  if (level <= 3) {
    CWaitCursor wait;
    m_symbolModel->Clear();
    m_symbolCount = 0;
  }
  {
    CWaitCursor wait;
    m_quoteModel->Clear();
    m_quoteCount = 0;
  }
  Q_EMIT stateChanged();
}

bool CLedgrixView::SelectPortfolio(const QString& masterPath) {
  if (masterPath.size() >= kMaxPathLength || !masterPath.endsWith(QStringLiteral("MASTER")))
    return false;
  m_masterPath = masterPath;
  m_indexCheckedFor.clear();
  // A root ("/", "C:\") keeps its separator, so that joining a name to it stays inside it.
  m_portfolioDir = QString::fromStdString(ledgrix::platform::DirectoryOf(masterPath.toStdString()));
  m_masterPathValid = true;
  return true;
}

void CLedgrixView::ReportUnconfirmedChanges() {
  for (const std::string& reason : ledgrix::platform::TakeUnconfirmedChanges()) {
    m_prompt.Message(ledgrix::maintenance::UnconfirmedChangeMessage(reason),
                     ledgrix::maintenance::PromptIcon::kWarning);
  }
}

void CLedgrixView::SetTitle(const QString& tail) {
  window()->setWindowTitle(QStringLiteral("Ledgrix - ") + m_portfolioDir + QStringLiteral(" - ") +
                           tail);
}

void CLedgrixView::OnSymbolSelectionChanged() {
  const QModelIndexList rows = m_symbolGrid->selectionModel()->selectedRows();
  if (rows.isEmpty())
    return;
  m_selSymbolRow = rows.first().row();
  SetTitle(m_symbolModel->Text(m_selSymbolRow, 0));
  Q_EMIT stateChanged();
}

void CLedgrixView::OnQuoteSelectionChanged() {
  const QModelIndexList rows = m_quoteGrid->selectionModel()->selectedRows();
  if (rows.isEmpty())
    return;
  m_selQuoteRow = rows.first().row();
  Q_EMIT stateChanged();
}

void CLedgrixView::OnSymbolClick() {
  CWaitCursor wait;
  FillQuotesGrid(0);
}

QString CLedgrixView::SymbolPaneText() const {
  if (m_symbolCount == 0)
    return QStringLiteral("No Symbols Read");
  return QStringLiteral("Symbol %1 of %2").arg(m_selSymbolRow + 1).arg(m_symbolCount);
}

QString CLedgrixView::QuotePaneText() const {
  if (m_quoteCount == 0)
    return QStringLiteral("No Quotes Read");
  return QStringLiteral("Quote %1 of %2").arg(m_quoteCount - m_selQuoteRow).arg(m_quoteCount);
}

EnableInputs CLedgrixView::CommandState() const {
  EnableInputs in;
  in.portfoliosFound = m_portfoliosFound;
  in.symbolRows = m_symbolModel->rowCount();
  in.quoteRows = m_quoteModel->rowCount();
  in.portfolioEntries = m_portfolioList->count();
  in.symbolCount = m_symbolCount;
  in.selQuoteRow = m_selQuoteRow;
  in.splitSearchOpen = m_splitSearchOpen != 0;
  in.canUndo = m_undoLabel.has_value();
  in.canRedo = m_redoLabel.has_value();
  return in;
}

QWidget* CLedgrixView::dialogParent() {
  return window();
}

void CLedgrixView::setSymbolAndName(const QString& symbol, const QString& name) {
  m_symbol = symbol;
  m_symbolName = name;
  UpdateChart();  // its title and the texts of its marks name the symbol
}

int CLedgrixView::symbolRowCount() const {
  return m_symbolModel->rowCount();
}

QString CLedgrixView::symbolCellText(int row, int column) const {
  return m_symbolModel->Text(row, column);
}

void CLedgrixView::setSymbolRowTexts(int row, const QString& symbol, const QString& name) {
  m_symbolModel->SetRow(row, symbol, name);
  if (row == m_selSymbolRow)
    SetTitle(symbol);
}

std::optional<ledgrix::formats::SymbolKey> CLedgrixView::symbolKey(int row) const {
  const SymbolRowData* rowData = m_symbolModel->Row(row);
  if (rowData == nullptr || rowData->isDirectory)
    return std::nullopt;
  return rowData->key;
}

int CLedgrixView::symbolNameLimit(int row) const {
  const SymbolRowData* rowData = m_symbolModel->Row(row);
  return rowData == nullptr ? 16 : rowData->nameLimit;
}

int CLedgrixView::RewriteSymbolRecord(const QString& symbol, const QString& name) {
  using ledgrix::commands::FsPath;
  const SymbolRowData* rowData = m_symbolModel->Row(m_selSymbolRow);
  if (rowData == nullptr)
    return 1;
  // Every byte decodes to a character of its own, so an unchanged name keeps its bytes.
  const std::optional<std::string> nameBytes = ledgrix::commands::ToWindows1252(name);
  const std::optional<std::string> symbolBytes = ledgrix::commands::ToWindows1252(symbol);
  if (!nameBytes || !symbolBytes)
    return 1;
  if (rowData->isDirectory) {
    return ledgrix::maintenance::RewriteSymbolRecord(FsPath(m_masterPath), rowData->symbol,
                                                     *symbolBytes, *nameBytes);
  }
  return ledgrix::maintenance::RenameSymbol(FsPath(m_portfolioDir), rowData->key, *symbolBytes,
                                            *nameBytes)
             ? 0
             : 1;
}

void CLedgrixView::setSelQuoteRow(int row) {
  m_selQuoteRow = row;
  if (row >= 0 && row < m_quoteModel->rowCount()) {
    m_quoteGrid->selectionModel()->setCurrentIndex(
        m_quoteModel->index(row, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_quoteGrid->scrollTo(m_quoteModel->index(row, 0));
  }
  Q_EMIT stateChanged();
}

void CLedgrixView::setCurrentQuoteRow(int row) {
  // The grid's highlight stays where it was (the Edit dialog's steps).
  m_selQuoteRow = row;
  Q_EMIT stateChanged();
}

int CLedgrixView::quoteRowCount() const {
  return m_quoteModel->rowCount();
}

QString CLedgrixView::quoteCellText(int row, int column) const {
  return m_quoteModel->Text(row, column);
}

QStringList CLedgrixView::portfolioEntries() const {
  QStringList entries;
  for (int i = 0; i < m_portfolioList->count(); ++i)
    entries.append(m_portfolioList->item(i)->text());
  return entries;
}

int CLedgrixView::selectedPortfolio() const {
  return m_portfolioList->currentRow();
}

void CLedgrixView::setSplitSearchOpen(bool open) {
  m_splitSearchOpen = open ? 1 : 0;
  Q_EMIT stateChanged();
}

void CLedgrixView::setSearchFilter(bool limit, const QString& filter, bool masterFix) {
  m_limitSearch = limit ? 1 : 0;
  m_searchFilter = filter;
  m_searchFilterUpper = filter.toUpper();
  m_masterFix = masterFix ? 1 : 0;
}

bool CLedgrixView::isOnListedVolume(const QString& path) const {
  return IsOnVolume(m_volumes.Roots(), path);
}
