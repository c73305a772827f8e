// The program's window: menus, toolbar and status bar around the main view; its placement is
// remembered between runs and the grid column widths are saved when it closes.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include "app/command_ids.h"
#include "app/placement.h"

class QAction;
class QLabel;
class QTimer;
class CLedgrixApp;
class CLedgrixView;
class CHelpWindow;
class VolumeList;

namespace ledgrix::maintenance {
class Prompt;
}

class CMainFrame final : public QMainWindow {
 public:
  CMainFrame(CLedgrixApp& app, VolumeList& volumes, const WorkAreaSource& workArea,
             ledgrix::maintenance::Prompt& prompt);
  ~CMainFrame() override;

  CLedgrixView* view() const { return m_view; }
  QAction* action(CommandId id) const { return m_actions.value(id); }
  QStatusBar* statusBarWidget() const { return m_wndStatusBar; }
  QToolBar* toolBar() const { return m_wndToolBar; }
  // Help > Help Topics' window once it was asked for.
  CHelpWindow* helpWindow() const;

  // Re-evaluates every enable rule and the two counter panes.
  void UpdateCommandUI();
  QString SymbolPaneText() const;
  QString QuotePaneText() const;

 protected:
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void PlaceWindow(const WorkAreaSource& workArea);
  void OnCreate();
  void BuildActions();
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();
  // Placement changes are noted as they happen and written once they settle (a drag sends
  // many), and on close.
  void NotePlacement();
  void SavePlacement();
  void Run(CommandId id);
  // Edit > Undo and Redo name the steps they would take.
  void UpdateUndoTexts();
  void ShowHelpTopics();

  CLedgrixApp& m_app;
  CLedgrixView* m_view = nullptr;
  QToolBar* m_wndToolBar = nullptr;
  QStatusBar* m_wndStatusBar = nullptr;
  QLabel* m_symbolPane = nullptr;
  QLabel* m_quotePane = nullptr;
  QHash<int, QAction*> m_actions;
  QPointer<CHelpWindow> m_helpWindow;
  bool m_placed = false;
  QTimer* m_placementTimer = nullptr;
  Placement m_pendingPlacement;
  bool m_placementPending = false;
};
