// Portfolio > Search Filter.
#include <QString>

#include "app/settings_store.h"
#include "commands/command_host.h"
#include "commands/symbols/dialog_runner.h"
#include "commands/symbols/search_filter_dialog.h"
#include "commands/symbols/symbol_commands.h"

namespace ledgrix::commands {

void EditSearchFilter(CommandHost& host) {
  const bool oldLimit = host.limitSearch();
  const QString oldFilter = host.searchFilter();

  CSearchFilterDialog dialog(
      oldLimit, oldFilter, host.masterFix(),
      [&host](const QString& path) { return host.isOnListedVolume(path); }, host.prompt(),
      host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;

  const bool limit = dialog.limit();
  const QString filter = dialog.path();
  host.setSearchFilter(limit, filter, dialog.masterFix());

  CSettingsStore& settings = host.settings();
  const QString section = QStringLiteral("Search");
  settings.SetInt(section, QStringLiteral("Limit"), limit ? 1 : 0);
  settings.SetString(section, QStringLiteral("Name"), filter);
  settings.SetInt(section, QStringLiteral("MasterFix"), dialog.masterFix() ? 1 : 0);

  // A path that differs only in letter case finds the same portfolios.
  const bool rescan = limit != oldLimit || (limit && filter.toLower() != oldFilter.toLower());
  if (rescan)
    host.rescanVolumeOf(filter);
}

}  // namespace ledgrix::commands
