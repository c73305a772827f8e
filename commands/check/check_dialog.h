// The findings of a portfolio check: a sortable list (where, kind, detail), the bad-tick
// threshold, and the safe fixes after a question that lists them.
#pragma once

#include <QDialog>

#include "maintenance/portfolio_check.h"

class CommandHost;
class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace ledgrix::commands {

class CCheckDialog final : public QDialog {
 public:
  CCheckDialog(CommandHost& host, maintenance::CheckResult result, QWidget* parent);

  const maintenance::CheckResult& result() const { return m_result; }

 private:
  void Fill();
  void CheckAgain();
  void ApplyFixes();
  void ShowFinding(QTreeWidgetItem* item);

  CommandHost& m_host;
  QString m_dir;
  maintenance::CheckResult m_result;
  QTreeWidget* m_list = nullptr;
  QLabel* m_summary = nullptr;
  QSpinBox* m_tick = nullptr;
  QPushButton* m_fix = nullptr;
};

// The bad-tick threshold the settings hold, in percent, and a new one for them.
int StoredTickPercent(CommandHost& host);
void StoreTickPercent(CommandHost& host, int percent);
// Runs the check of dir with a progress bar; false when the user cancelled it.
bool RunCheck(CommandHost& host, const QString& dir, int tickPercent,
              maintenance::CheckResult& result);
// Keeps result as the last check of dir, for the chart's marks.
void RememberCheck(const QString& dir, const maintenance::CheckResult& result);

}  // namespace ledgrix::commands
