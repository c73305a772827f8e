// Builds the real main window on fixture portfolios for GUI tests: a temporary folder stands in
// for a volume, settings live in a temporary INI file, undo journals beside it, and a
// ScriptedPrompt answers every message box. Link ledgrix_gui_test_support (its main starts an
// offscreen QApplication).
#pragma once

#include <QSize>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ledgrix_app.h"
#include "app/ledgrix_view.h"
#include "app/main_frame.h"
#include "app/placement.h"
#include "app/settings_store.h"
#include "app/volume_list.h"
#include "tests/support/fixture.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::testing {

// QString of a path, and back.
QString QPath(const std::filesystem::path& path);
std::filesystem::path FsPath(const QString& path);

// A symbol in F<file> named "<symbol> CORP", holding count daily quotes from 1962-01-02.
SymbolSpec Daily(const std::string& symbol, int count, int file = 1);

class GuiFixture {
 public:
  GuiFixture();
  ~GuiFixture();
  GuiFixture(const GuiFixture&) = delete;
  GuiFixture& operator=(const GuiFixture&) = delete;

  // The temporary volume: build portfolios below it before Start.
  const std::filesystem::path& root() const { return m_volume.get(); }
  // The settings file (its folder is where Ledgrix.INI is imported from). Written before Start
  // by SetSetting or a store of one's own; the app opens it at Start.
  QString settingsPath() const { return m_settingsPath; }
  void SetSetting(const QString& section, const QString& name, const QString& value);
  // Walk the whole volume (Search/Limit 0), or only around filter (Limit 1).
  void WalkWholeVolume() { SetSetting(QStringLiteral("Search"), QStringLiteral("Limit"), "0"); }
  void LimitWalkTo(const QString& filter);

  // Creates the app and its shown main window on the work area; no scan yet.
  CMainFrame& Start(QSize workArea = QSize(1024, 738));
  // Start, then the deferred start (what the first paint's timer runs): columns and the initial
  // scan of the volume.
  CMainFrame& StartAndScan(QSize workArea = QSize(1024, 738));
  // Writes the portfolio root()/P of specs, then starts walking the whole volume.
  CLedgrixView& StartOn(const std::vector<SymbolSpec>& specs);

  CMainFrame& frame() { return *m_app->mainFrame(); }
  CLedgrixView& view() { return *m_app->mainFrame()->view(); }
  CSettingsStore& settings() { return *m_app->m_settings; }
  ScriptedPrompt& prompt() { return m_prompt; }
  FixedVolumeList& volumes() { return *m_volumes; }
  // A further temporary volume (removed with the fixture).
  const std::filesystem::path& AddVolume();

  // Selects row of the symbols grid as a mouse click does (selection, then the reload).
  void ClickSymbol(int row);
  // Moves the symbols grid's selection as the keyboard does (no reload).
  void KeySelectSymbol(int row);
  // Selects row of the quotes grid.
  void SelectQuote(int row);
  // Chooses a portfolio of the list as the user does.
  void ChoosePortfolio(int index);

  // Closes the window (saves the column widths) and runs the exit step.
  void Stop();

 private:
  TempDir m_volume;
  TempDir m_settingsDir;
  QString m_settingsPath;
  std::unique_ptr<FixedVolumeList> m_volumes;
  std::vector<std::unique_ptr<TempDir>> m_moreVolumes;
  ScriptedPrompt m_prompt;
  std::unique_ptr<FixedWorkArea> m_workArea;
  std::unique_ptr<CLedgrixApp> m_app;
};

}  // namespace ledgrix::testing
