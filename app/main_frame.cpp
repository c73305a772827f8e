// The frame: placement, bars, status panes, close.
#include "app/main_frame.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/help_window.h"
#include "app/ledgrix_app.h"
#include "app/ledgrix_view.h"
#include "app/settings_store.h"

namespace {
const QString kScreen = QStringLiteral("Screen");
// How long the placement must stay put before it is written.
constexpr int kPlacementSettleMs = 400;
}  // namespace

CMainFrame::CMainFrame(CLedgrixApp& app, VolumeList& volumes, const WorkAreaSource& workArea,
                       ledgrix::maintenance::Prompt& prompt)
    : m_app(app) {
  setObjectName(QStringLiteral("mainFrame"));
  m_placementTimer = new QTimer(this);
  m_placementTimer->setSingleShot(true);
  m_placementTimer->setInterval(kPlacementSettleMs);
  connect(m_placementTimer, &QTimer::timeout, this, [this] { SavePlacement(); });
  setWindowTitle(QStringLiteral("Ledgrix"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/ledgrix.svg")));
  PlaceWindow(workArea);
  m_view = new CLedgrixView(*m_app.m_settings, volumes, prompt, this);
  setCentralWidget(m_view);
  OnCreate();
  m_view->SetStatusBar(m_wndStatusBar);
  connect(m_view, &CLedgrixView::stateChanged, this, [this] { UpdateCommandUI(); });
  UpdateCommandUI();
  m_placed = true;
}

CMainFrame::~CMainFrame() {
  delete m_helpWindow;
}

void CMainFrame::PlaceWindow(const WorkAreaSource& workArea) {
  CSettingsStore& settings = *m_app.m_settings;
  Placement stored;
  stored.x = settings.GetInt(kScreen, QStringLiteral("x"), 0);
  stored.y = settings.GetInt(kScreen, QStringLiteral("y"), 0);
  stored.cx = settings.GetInt(kScreen, QStringLiteral("cx"), 0);
  stored.cy = settings.GetInt(kScreen, QStringLiteral("cy"), 0);
  bool computed = false;
  const Placement p = ChoosePlacement(stored, workArea.WorkArea(), &computed);
  if (computed) {
    settings.SetInt(kScreen, QStringLiteral("x"), p.x);
    settings.SetInt(kScreen, QStringLiteral("y"), p.y);
    settings.SetInt(kScreen, QStringLiteral("cx"), p.cx);
    settings.SetInt(kScreen, QStringLiteral("cy"), p.cy);
  }
  move(p.x, p.y);
  resize(p.cx, p.cy);
}

void CMainFrame::OnCreate() {
  BuildActions();
  BuildMenus();
  BuildToolBar();
  BuildStatusBar();
}

void CMainFrame::BuildToolBar() {
  m_wndToolBar = addToolBar(QStringLiteral("Toolbar"));
  m_wndToolBar->setObjectName(QStringLiteral("toolBar"));
  m_wndToolBar->setIconSize(QSize(20, 20));
  m_wndToolBar->setMovable(true);
  m_wndToolBar->setAllowedAreas(Qt::AllToolBarAreas);
  const int order[] = {ID_APP_EXIT,
                       0,
                       ID_EDIT_UNDO,
                       ID_EDIT_REDO,
                       0,
                       ID_PORTFOLIO_SPLITSEARCH,
                       ID_PORTFOLIO_SEARCHFILTER,
                       ID_PORTFOLIO_RESCAN,
                       0,
                       ID_SYMBOL_DELETE,
                       ID_SYMBOL_MOVE,
                       ID_SYMBOL_COPY,
                       ID_SYMBOL_EDIT,
                       ID_SYMBOL_ABOUT,
                       0,
                       ID_QUOTES_EDIT,
                       ID_QUOTES_SPLIT,
                       ID_QUOTES_ADJUST,
                       ID_QUOTES_ADD,
                       ID_QUOTES_DELETE,
                       ID_QUOTES_EXPORT,
                       0,
                       ID_APP_ABOUT};
  for (int id : order) {
    if (id == 0)
      m_wndToolBar->addSeparator();
    else
      m_wndToolBar->addAction(m_actions.value(id));
  }
  QAction* toggle = m_actions.value(ID_VIEW_TOOLBAR);
  connect(toggle, &QAction::toggled, m_wndToolBar, &QToolBar::setVisible);
  connect(m_wndToolBar, &QToolBar::visibilityChanged, toggle, &QAction::setChecked);
}

void CMainFrame::BuildStatusBar() {
  m_wndStatusBar = statusBar();
  m_wndStatusBar->setObjectName(QStringLiteral("statusBar"));
  m_symbolPane = new QLabel(m_wndStatusBar);
  m_symbolPane->setObjectName(QStringLiteral("symbolPane"));
  m_quotePane = new QLabel(m_wndStatusBar);
  m_quotePane->setObjectName(QStringLiteral("quotePane"));
  const QFontMetrics fm = m_wndStatusBar->fontMetrics();
  m_symbolPane->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("Symbols: xxxxxxxxxxxxxxxx")));
  m_quotePane->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("Quotes: xxxxxxxxxxxxxxxx")));
  m_symbolPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  m_quotePane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  m_wndStatusBar->addPermanentWidget(m_symbolPane);
  m_wndStatusBar->addPermanentWidget(m_quotePane);
  QAction* toggle = m_actions.value(ID_VIEW_STATUS_BAR);
  connect(toggle, &QAction::toggled, m_wndStatusBar, &QStatusBar::setVisible);
}

QString CMainFrame::SymbolPaneText() const {
  return m_symbolPane->text();
}
QString CMainFrame::QuotePaneText() const {
  return m_quotePane->text();
}

void CMainFrame::UpdateCommandUI() {
  const EnableInputs state = m_view->CommandState();
  for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
    it.value()->setEnabled(IsCommandEnabled(static_cast<CommandId>(it.key()), state));
  UpdateUndoTexts();
  m_symbolPane->setText(m_view->SymbolPaneText());
  m_quotePane->setText(m_view->QuotePaneText());
}

void CMainFrame::NotePlacement() {
  if (!m_placed || isMinimized())
    return;
  m_pendingPlacement = Placement{qMax(0, x()), qMax(0, y()), width(), height()};
  m_placementPending = true;
  m_placementTimer->start();
}

void CMainFrame::SavePlacement() {
  m_placementTimer->stop();
  if (!m_placementPending)
    return;
  m_placementPending = false;
  CSettingsStore& settings = *m_app.m_settings;
  settings.SetInt(kScreen, QStringLiteral("x"), m_pendingPlacement.x);
  settings.SetInt(kScreen, QStringLiteral("y"), m_pendingPlacement.y);
  settings.SetInt(kScreen, QStringLiteral("cx"), m_pendingPlacement.cx);
  settings.SetInt(kScreen, QStringLiteral("cy"), m_pendingPlacement.cy);
}

void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  NotePlacement();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  NotePlacement();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  SavePlacement();
  m_view->SaveColumnWidths();
  if (m_helpWindow)
    m_helpWindow->close();
  event->accept();
}

CHelpWindow* CMainFrame::helpWindow() const {
  return m_helpWindow;
}

void CMainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Back from another program, perhaps ledgrix-cli: its corrections are in the journal.
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_view) {
    m_view->RefreshUndoState();
    UpdateCommandUI();
  }
}

void CMainFrame::ShowHelpTopics() {
  // A window of its own, not the frame's: a modal dialog of the frame (from which F1 asks for
  // it) leaves it usable.
  if (!m_helpWindow)
    m_helpWindow = new CHelpWindow(nullptr);
  m_helpWindow->show();
  m_helpWindow->raise();
  m_helpWindow->activateWindow();
}
