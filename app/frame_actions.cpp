// Every command of the menus and the toolbar as one QAction, built here, and where each goes.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <utility>

#include "about/about_dialog.h"
#include "app/ledgrix_app.h"
#include "app/ledgrix_view.h"
#include "app/main_frame.h"
#include "commands/quotes/quote_commands.h"
#include "commands/symbols/symbol_commands.h"

namespace {

struct CommandSpec {
  CommandId id;
  const char* menuText;
  // Status-bar prompt, a newline, the tooltip.
  const char* prompt;
  const char* icon;  // under :/icons, or nullptr
};

constexpr CommandSpec kCommands[] = {
    {ID_APP_EXIT, "E&xit", "Quit the application\nQuit", "exit"},
    {ID_EDIT_UNDO, "&Undo", "Undo the last correction\nUndo", "undo"},
    {ID_EDIT_REDO, "&Redo", "Redo the last correction undone\nRedo", "redo"},
    {ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar\nToggle ToolBar", nullptr},
    {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar\nToggle StatusBar", nullptr},
    {ID_VIEW_CHART, "&Chart", "Show or hide the price chart beside the quotes\nToggle Chart",
     nullptr},
    {ID_PORTFOLIO_SPLITSEARCH, "&Split Search...",
     "Search this portfolio for possible splits\nSplit search", "split-search"},
    {ID_PORTFOLIO_SEARCHFILTER, "Search &Filter...", "Filter\nFilter", "filter"},
    {ID_PORTFOLIO_RESCAN, "&ReScan", "ReScan drive(s) for portfolios\nReScan", "rescan"},
    {ID_SYMBOL_DELETE, "&Delete", "Delete Symbol\nDelete Symbol", "symbol-delete"},
    {ID_SYMBOL_MOVE, "&Move...", "Move\nMove", "symbol-move"},
    {ID_SYMBOL_COPY, "&Copy...", "Copy\nCopy", "symbol-copy"},
    {ID_SYMBOL_EDIT, "&Edit...", "Edit the symbol and name\nEdit Symbol", "symbol-edit"},
    {ID_SYMBOL_ABOUT, "&About...", "Facts about the selected quote series\nData facts",
     "data-facts"},
    {ID_QUOTES_EDIT, "&Edit...", "Edit the selected day's data\nEdit data", "quote-edit"},
    {ID_QUOTES_SPLIT, "&Split...", "Enter a split\nEnter split", "quote-split"},
    {ID_QUOTES_ADJUST, "Adju&st...", "Scale the volume or price\nScale values", "quote-scale"},
    {ID_QUOTES_ADD, "&Add...", "Add a single quote\nAdd quote", "quote-add"},
    {ID_QUOTES_DELETE, "&Delete...", "Delete a single quote\nDelete quote", "quote-delete"},
    {ID_QUOTES_EXPORT, "E&xport...", "Export quotes\nExport", "export"},
    {ID_HELP_FINDER, "&Help Topics", "List Help topics\nHelp Topics", nullptr},
    {ID_APP_ABOUT, "&About Ledgrix...",
     "Display program information, version number and copyright\nAbout Ledgrix", "about"},
};

}  // namespace

void CMainFrame::BuildActions() {
  for (const CommandSpec& spec : kCommands) {
    auto* action = new QAction(QString::fromLatin1(spec.menuText), this);
    const QStringList prompt = QString::fromLatin1(spec.prompt).split(QLatin1Char('\n'));
    action->setObjectName(QStringLiteral("command%1").arg(spec.id));
    action->setData(static_cast<int>(spec.id));
    action->setStatusTip(prompt.value(0));
    action->setToolTip(prompt.value(1));
    if (spec.icon)
      action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(spec.icon))));
    m_actions.insert(spec.id, action);
    connect(action, &QAction::triggered, this, [this, id = spec.id] { Run(id); });
  }
  // The keys work wherever the focus is in the program's windows (the split search window too),
  // whether or not the menu bar is a widget of this window.
  for (const auto& [id, key] :
       {std::pair{ID_PORTFOLIO_RESCAN, Qt::Key_F5}, std::pair{ID_HELP_FINDER, Qt::Key_F1}}) {
    QAction* action = m_actions.value(id);
    action->setShortcut(QKeySequence(key));
    action->setShortcutContext(Qt::ApplicationShortcut);
    addAction(action);
  }
  m_actions.value(ID_EDIT_UNDO)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  m_actions.value(ID_EDIT_REDO)
      ->setShortcuts(
          {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  for (CommandId toggle : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
    m_actions.value(toggle)->setCheckable(true);
    m_actions.value(toggle)->setChecked(true);
  }
  QAction* chart = m_actions.value(ID_VIEW_CHART);
  chart->setCheckable(true);
  chart->setChecked(m_view->chartShown());
  connect(chart, &QAction::toggled, m_view, &CLedgrixView::ShowChart);
}

void CMainFrame::BuildMenus() {
  auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
    for (int id : ids) {
      if (id == 0)
        menu->addSeparator();
      else
        menu->addAction(m_actions.value(id));
    }
    // Menus show the rules' current answers when they open.
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });
  };
  add(menuBar()->addMenu(QStringLiteral("&File")), {ID_APP_EXIT});
  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  // The other program may have made or undone a correction meanwhile.
  connect(edit, &QMenu::aboutToShow, this, [this] { m_view->RefreshUndoState(); });
  add(edit, {ID_EDIT_UNDO, ID_EDIT_REDO});
  add(menuBar()->addMenu(QStringLiteral("&View")),
      {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_VIEW_CHART});
  add(menuBar()->addMenu(QStringLiteral("&Portfolio")),
      {ID_PORTFOLIO_SPLITSEARCH, ID_PORTFOLIO_SEARCHFILTER, ID_PORTFOLIO_RESCAN});
  add(menuBar()->addMenu(QStringLiteral("&Symbol")),
      {ID_SYMBOL_DELETE, ID_SYMBOL_MOVE, ID_SYMBOL_COPY, 0, ID_SYMBOL_EDIT, ID_SYMBOL_ABOUT});
  add(menuBar()->addMenu(QStringLiteral("&Quotes")),
      {ID_QUOTES_EDIT, ID_QUOTES_SPLIT, ID_QUOTES_ADJUST, 0, ID_QUOTES_ADD, ID_QUOTES_DELETE, 0,
       ID_QUOTES_EXPORT});
  add(menuBar()->addMenu(QStringLiteral("&Help")), {ID_HELP_FINDER, 0, ID_APP_ABOUT});
}

void CMainFrame::Run(CommandId id) {
  namespace cmd = ledgrix::commands;
  // A rule may have changed since the button was last drawn; a disabled command never runs.
  if (!IsCommandEnabled(id, m_view->CommandState()))
    return;
  CLedgrixView& view = *m_view;
  switch (id) {
    case ID_APP_EXIT:
      close();
      return;
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
    case ID_VIEW_CHART:
      return;  // the toggles act through their checked state
    case ID_EDIT_UNDO:
      view.OnEditUndo();
      break;
    case ID_EDIT_REDO:
      view.OnEditRedo();
      break;
    case ID_PORTFOLIO_SPLITSEARCH:
      cmd::OpenSplitSearch(view);
      break;
    case ID_PORTFOLIO_SEARCHFILTER:
      cmd::EditSearchFilter(view);
      break;
    case ID_PORTFOLIO_RESCAN:
      view.OnPortfolioRescan();
      break;
    case ID_SYMBOL_DELETE:
      cmd::DeleteSymbol(view);
      break;
    case ID_SYMBOL_MOVE:
      cmd::MoveOrCopySymbol(view, true);
      break;
    case ID_SYMBOL_COPY:
      cmd::MoveOrCopySymbol(view, false);
      break;
    case ID_SYMBOL_EDIT:
      cmd::EditSymbol(view);
      break;
    case ID_SYMBOL_ABOUT:
      cmd::ShowSeriesFacts(view);
      break;
    case ID_QUOTES_EDIT:
      cmd::EditQuote(view);
      break;
    case ID_QUOTES_SPLIT:
      cmd::EnterSplit(view);
      break;
    case ID_QUOTES_ADJUST:
      cmd::AdjustQuotes(view);
      break;
    case ID_QUOTES_ADD:
      cmd::AddQuote(view);
      break;
    case ID_QUOTES_DELETE:
      cmd::DeleteQuote(view);
      break;
    case ID_QUOTES_EXPORT:
      cmd::ExportQuotes(view);
      break;
    case ID_HELP_FINDER:
      ShowHelpTopics();
      break;
    case ID_APP_ABOUT:
      ledgrix::about::ShowAboutBox(this, m_app.m_mailLinkVisited, m_app.m_webLinkVisited);
      break;
  }
  view.ReportUnconfirmedChanges();
  view.RefreshUndoState();
  UpdateCommandUI();
}

void CMainFrame::UpdateUndoTexts() {
  for (const bool redo : {false, true}) {
    QAction* action = m_actions.value(redo ? ID_EDIT_REDO : ID_EDIT_UNDO);
    const auto& label = redo ? m_view->redoLabel() : m_view->undoLabel();
    const QString verb = redo ? QStringLiteral("Redo") : QStringLiteral("Undo");
    const QString named = label ? verb + QLatin1Char(' ') + QString::fromLatin1(*label) : verb;
    // An ampersand of a symbol is no mnemonic.
    action->setText(QLatin1Char('&') +
                    QString(named).replace(QLatin1Char('&'), QStringLiteral("&&")));
    action->setToolTip(named);
  }
}
