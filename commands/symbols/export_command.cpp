// Quotes > Export: the chosen columns of the shown symbol's quotes into a delimited text file.
#include <QApplication>
#include <QFile>
#include <QString>
#include <array>
#include <fstream>

#include "app/settings_store.h"
#include "app/wait_cursor.h"
#include "commands/command_host.h"
#include "commands/symbols/dialog_runner.h"
#include "commands/symbols/export_dialog.h"
#include "commands/symbols/record_text.h"
#include "commands/symbols/symbol_commands.h"
#include "maintenance/export.h"
#include "maintenance/messages.h"
#include "maintenance/prompt.h"

namespace ledgrix::commands {
namespace {

const QString kSection = QStringLiteral("XportSel");
const std::array<QString, 6> kOmitKeys = {QStringLiteral("OmitOpen"), QStringLiteral("OmitHigh"),
                                          QStringLiteral("OmitLow"),  QStringLiteral("OmitClose"),
                                          QStringLiteral("OmitVol"),  QStringLiteral("OmitOI")};

ExportChoices LoadChoices(CSettingsStore& settings) {
  ExportChoices choices;
  choices.path =
      settings.GetString(kSection, QStringLiteral("Starter"), QStringLiteral("output.txt"));
  for (std::size_t i = 0; i < kOmitKeys.size(); ++i)
    choices.omit[i] = settings.GetInt(kSection, kOmitKeys[i], 0) != 0;
  choices.order = settings.GetInt(kSection, QStringLiteral("Newest"), 0);
  choices.delimiter = settings.GetInt(kSection, QStringLiteral("Delim"), 0);
  choices.title = settings.GetInt(kSection, QStringLiteral("Title"), 0) != 0;
  return choices;
}

void SaveChoices(CSettingsStore& settings, const ExportChoices& choices) {
  settings.SetString(kSection, QStringLiteral("Starter"), choices.path);
  for (std::size_t i = 0; i < kOmitKeys.size(); ++i)
    settings.SetInt(kSection, kOmitKeys[i], choices.omit[i] ? 1 : 0);
  settings.SetInt(kSection, QStringLiteral("Delim"), choices.delimiter);
  settings.SetInt(kSection, QStringLiteral("Newest"), choices.order);
  settings.SetInt(kSection, QStringLiteral("Title"), choices.title ? 1 : 0);
}

maintenance::ExportOptions OptionsOf(const ExportChoices& choices) {
  maintenance::ExportOptions options;
  options.delimiter = choices.delimiter;
  options.omit = choices.omit;
  // No order button chosen reads as -1, which is not zero: newest first.
  options.newestFirst = choices.order != 0;
  options.title = choices.title;
  return options;
}

}  // namespace

void ExportQuotes(CommandHost& host) {
  CSettingsStore& settings = host.settings();
  CExportDialog dialog(LoadChoices(settings), host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;
  const ExportChoices& choices = dialog.choices();

  QFile existing(choices.path);
  if (!choices.path.isEmpty() && existing.open(QIODevice::ReadOnly)) {
    existing.close();
    if (!host.prompt().AskYesNo(maintenance::ReplaceFileQuestion(choices.path.toStdString())))
      return;
  }

  SaveChoices(settings, choices);

  // Binary: the export writes its own CR LF line ends on every platform.
  std::ofstream out(FsPath(choices.path), std::ios::binary | std::ios::trunc);
  if (choices.path.isEmpty() || !out.is_open()) {
    host.prompt().Message(maintenance::kFileExportError);
    return;
  }

  formats::StatusCode status = formats::kOk;
  {
    CWaitCursor wait;
    status = maintenance::ExportQuotes(FsPath(host.portfolioDir()), RecordBytes(host.symbol()),
                                       OptionsOf(choices), out);
    out.close();
  }
  // A file that could not be written or read to its end is no finished export.
  if (status != formats::kOk || out.fail()) {
    host.prompt().Message(maintenance::kFileExportError);
    return;
  }
  QApplication::beep();
}

}  // namespace ledgrix::commands
