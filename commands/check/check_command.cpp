// The check command, its progress bar, and the last check kept for the chart's marks.
#include "commands/check/check_command.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "app/settings_store.h"
#include "commands/check/check_dialog.h"
#include "commands/command_host.h"
#include "commands/symbols/record_text.h"
#include "maintenance/messages.h"

namespace ledgrix::commands {

namespace {

const QString kSection = QStringLiteral("Check");
const QString kTickName = QStringLiteral("TickPercent");

// The last check of a portfolio this program ran (one at a time is what the chart shows).
struct LastCheck {
  QString dir;
  std::vector<maintenance::Finding> findings;
};

LastCheck& Last() {
  static LastCheck last;
  return last;
}

ChartMarkKind MarkKind(maintenance::FindingKind kind) {
  switch (kind) {
    case maintenance::FindingKind::kBadTick:
      return ChartMarkKind::kBadTick;
    case maintenance::FindingKind::kHighBelowLow:
      return ChartMarkKind::kHighBelowLow;
    default:
      return ChartMarkKind::kOther;
  }
}

}  // namespace

int StoredTickPercent(CommandHost& host) {
  const int stored = host.settings().GetInt(kSection, kTickName,
                                            static_cast<int>(maintenance::kDefaultTickPercent));
  return stored >= 1 && stored <= 1000 ? stored
                                       : static_cast<int>(maintenance::kDefaultTickPercent);
}

void StoreTickPercent(CommandHost& host, int percent) {
  host.settings().SetInt(kSection, kTickName, percent);
}

bool RunCheck(CommandHost& host, const QString& dir, int tickPercent,
              maintenance::CheckResult& result) {
  QProgressDialog progress(QStringLiteral("Checking %1 ...").arg(dir), QStringLiteral("Cancel"), 0,
                           0, host.dialogParent());
  progress.setObjectName(QStringLiteral("checkProgress"));
  progress.setWindowTitle(QString::fromLatin1(maintenance::kCheckTitle));
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(300);
  maintenance::CheckOptions options;
  options.tickThreshold = tickPercent / 100.0;
  result = maintenance::CheckPortfolio(FsPath(dir), options,
                                       [&progress](std::size_t done, std::size_t total) {
                                         progress.setMaximum(static_cast<int>(total));
                                         progress.setValue(static_cast<int>(done));
                                         QCoreApplication::processEvents();
                                         return !progress.wasCanceled();
                                       });
  return !result.cancelled;
}

void RememberCheck(const QString& dir, const maintenance::CheckResult& result) {
  Last() = {dir, result.findings};
}

void CheckPortfolio(CommandHost& host) {
  const QString dir = host.portfolioDir();
  maintenance::CheckResult result;
  if (!RunCheck(host, dir, StoredTickPercent(host), result))
    return;
  RememberCheck(dir, result);
  host.FillQuotesGrid(host.selQuoteRow());  // the chart shows the new marks
  auto* window = new CCheckDialog(host, std::move(result), host.dialogParent());
  window->show();
}

ChartMarkSource CheckChartMarks() {
  return [](const QString& dir, const QString& symbol, const ChartData&) {
    std::vector<ChartMark> marks;
    const LastCheck& last = Last();
    if (last.dir != dir)
      return marks;
    const std::string where = RecordBytes(symbol);
    for (const maintenance::Finding& f : last.findings) {
      if (f.where != where || f.date == 0)
        continue;
      marks.push_back({-1, f.date, MarkKind(f.kind),
                       QString::fromLatin1(maintenance::FindingKindText(f.kind)) +
                           QStringLiteral(": ") + FromWindows1252(f.detail)});
    }
    return marks;
  };
}

}  // namespace ledgrix::commands
