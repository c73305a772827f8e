#include "tests/commands/symbols/fake_host.h"

#include <QDir>
#include <algorithm>

#include "formats/master.h"

namespace ledgrix::testing {

FakeHost::FakeHost(const path& portfolioDir)
    : settingsStore(std::make_unique<CSettingsStore>(
          QString::fromStdString((settingsDir / "Ledgrix.ini").string()))),
      dir(QString::fromStdString(portfolioDir.string())) {
  FillSymbolsGrid(0);
  symbolFills.clear();
}

void FakeHost::setSymbolAndName(const QString& symbol, const QString& name) {
  shownSymbol = symbol;
  shownName = name;
}

QString FakeHost::symbolCellText(int row, int column) const {
  const auto& r = rows.at(static_cast<std::size_t>(row));
  return column == 0 ? r.first : r.second;
}

void FakeHost::setSymbolRowTexts(int row, const QString& symbol, const QString& name) {
  rows.at(static_cast<std::size_t>(row)) = {symbol, name};
}

void FakeHost::FillSymbolsGrid(int row) {
  symbolFills.push_back(row);
  rows.clear();
  formats::MasterFile file;
  if (formats::ReadMasterFile(masterPath().toStdString(), file)) {
    for (const auto& record : file.records)
      rows.emplace_back(QString::fromLatin1(record.displaySymbol()),
                        QString::fromLatin1(record.displayName()));
  }
  std::stable_sort(rows.begin(), rows.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  selectedRow = row;
  if (row >= 0 && row < static_cast<int>(rows.size()))
    ClickRow(row);
}

void FakeHost::ClickRow(int row) {
  selectedRow = row;
  shownSymbol = rows.at(static_cast<std::size_t>(row)).first;
  shownName = rows.at(static_cast<std::size_t>(row)).second;
  ++quoteFills;
}

void FakeHost::setSearchFilter(bool newLimit, const QString& newFilter, bool newFix) {
  limit = newLimit;
  filter = newFilter;
  fix = newFix;
  ++filterSets;
}

bool FakeHost::isOnListedVolume(const QString& path) const {
  if (!QDir::isAbsolutePath(path))
    return false;
  return std::any_of(volumes.begin(), volumes.end(),
                     [&](const QString& root) { return path.startsWith(root); });
}

}  // namespace ledgrix::testing
