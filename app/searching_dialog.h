// "Searching for Master Files": the modeless window that shows the walk's progress.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

#include "platform/portfolio_walk.h"

class QLabel;

class CSearchingDialog final : public QDialog {
 public:
  explicit CSearchingDialog(QWidget* parent);

  // Shows the window centred on the screen.
  void Open();
  void SetPathText(const QString& path);
  void SetCountText(const QString& count);
  // Repaints now and then (at most every few tens of milliseconds) so that a long walk shows.
  void Refresh(bool force = false);

  QString m_pathText;
  QString m_countText;

 private:
  QLabel* m_path = nullptr;
  QLabel* m_count = nullptr;
  QElapsedTimer m_sinceRefresh;
  bool m_dirty = false;
};

// Feeds the walk's steps to the progress window (none: only the count is kept).
class CSearchProgress final : public ledgrix::platform::WalkObserver {
 public:
  CSearchProgress(CSearchingDialog* dialog, int* mastersFound)
      : m_dialog(dialog), m_mastersFound(mastersFound) {}
  void EnterDirectory(const std::string& dir) override;
  void FoundMaster(const std::string& dir, int mastersFound) override;

 private:
  CSearchingDialog* m_dialog;
  int* m_mastersFound;
};
