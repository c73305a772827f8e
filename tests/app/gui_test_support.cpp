#include "tests/app/gui_test_support.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QSettings>
#include <QTableView>

#include "formats/dates.h"

namespace ledgrix::testing {

namespace {
void SelectRow(QTableView* grid, int row) {
  grid->selectionModel()->setCurrentIndex(
      grid->model()->index(row, 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
}  // namespace

QString QPath(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

std::filesystem::path FsPath(const QString& path) {
  return path.toStdString();
}

SymbolSpec Daily(const std::string& symbol, int count, int file) {
  SymbolSpec s;
  s.fileNumber = static_cast<std::uint16_t>(file);
  s.symbol = symbol;
  s.name = symbol + " CORP";
  s.quotes = MakeDailyQuotes(formats::DayFromYmd(1962, 1, 2), count);
  return s;
}

GuiFixture::GuiFixture()
    : m_settingsPath(QPath(m_settingsDir.get() / "Ledgrix.ini")),
      m_volumes(std::make_unique<FixedVolumeList>(QStringList{QPath(m_volume.get())})) {
  // Undo journals beside the settings, never below the real home.
  qputenv("XDG_STATE_HOME", QPath(m_settingsDir.get() / "state").toLocal8Bit());
  qputenv("LOCALAPPDATA", QPath(m_settingsDir.get() / "state").toLocal8Bit());
}

GuiFixture::~GuiFixture() {
  if (m_app)
    m_app->ExitInstance(0);
}

void GuiFixture::SetSetting(const QString& section, const QString& name, const QString& value) {
  if (m_app) {
    settings().SetString(section, name, value);
    return;
  }
  QSettings ini(m_settingsPath, QSettings::IniFormat);
  ini.setValue(section + QLatin1Char('/') + name, value);
}

const std::filesystem::path& GuiFixture::AddVolume() {
  m_moreVolumes.push_back(std::make_unique<TempDir>());
  m_volumes->Add(QPath(m_moreVolumes.back()->get()));
  return m_moreVolumes.back()->get();
}

void GuiFixture::LimitWalkTo(const QString& filter) {
  SetSetting(QStringLiteral("Search"), QStringLiteral("Limit"), QStringLiteral("1"));
  SetSetting(QStringLiteral("Search"), QStringLiteral("Name"), filter);
}

CMainFrame& GuiFixture::Start(QSize workArea) {
  m_workArea = std::make_unique<FixedWorkArea>(workArea);
  m_app = std::make_unique<CLedgrixApp>(std::make_unique<CSettingsStore>(m_settingsPath));
  CLedgrixApp::Services services;
  services.volumes = m_volumes.get();
  services.workArea = m_workArea.get();
  services.prompt = &m_prompt;
  m_app->InitInstance(services, false);
  view().m_paintTimerStarted = true;  // the test runs the deferred start itself
  frame().show();
  QApplication::processEvents();
  return frame();
}

CMainFrame& GuiFixture::StartAndScan(QSize workArea) {
  Start(workArea);
  view().OnTimer();
  QApplication::processEvents();
  return frame();
}

CLedgrixView& GuiFixture::StartOn(const std::vector<SymbolSpec>& specs) {
  PortfolioBuilder(root() / "P").AddAll(specs).Write();
  WalkWholeVolume();
  StartAndScan();
  return view();
}

void GuiFixture::ClickSymbol(int row) {
  KeySelectSymbol(row);
  view().OnSymbolClick();
}

void GuiFixture::KeySelectSymbol(int row) {
  SelectRow(view().m_symbolGrid, row);
}

void GuiFixture::SelectQuote(int row) {
  SelectRow(view().m_quoteGrid, row);
}

void GuiFixture::ChoosePortfolio(int index) {
  view().m_portfolioList->setCurrentRow(index);
}

void GuiFixture::Stop() {
  if (!m_app)
    return;
  frame().close();
  m_app->ExitInstance(0);
  m_app.reset();
}

}  // namespace ledgrix::testing
