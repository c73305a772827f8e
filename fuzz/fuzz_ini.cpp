// A settings INI (the old Ledgrix.INI) through the import into the settings store; whatever the
// import stored reads back the same from the file at the next start.
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/settings_store.h"
#include "fuzz/fuzz_check.h"

namespace {

// A folder of this process for the two files of a run, removed at exit.
const std::string& WorkDir() {
  static const std::string* dir = [] {
    // Memory-backed where there is such a folder: every run writes two files.
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/ledgrix-fuzz-ini-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
      std::abort();
    auto* made = new std::string(pattern);  // outlives every static destructor
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(WorkDir(), ignored);
    });
    return made;
  }();
  return *dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QString ini = QString::fromStdString(WorkDir() + "/Ledgrix.INI");
  const QString store = QString::fromStdString(WorkDir() + "/store.ini");
  QFile::remove(store);
  {
    QFile file(ini);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
      return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  CSettingsStore imported(store);
  imported.ImportIniFile(ini);

  // The next start reads the same texts from the file.
  CSettingsStore reopened(store);
  const QStringList keys = QSettings(store, QSettings::IniFormat).allKeys();
  for (const QString& key : keys) {
    const QString now = imported.GetString(QString(), key, QStringLiteral("\x01"));
    const QString later = reopened.GetString(QString(), key, QStringLiteral("\x01"));
    // Text with a comma comes back from the file as a list, joined again by ", ".
    if (!now.contains(QLatin1Char(',')))
      LEDGRIX_FUZZ_CHECK(now == later);
    (void)reopened.GetInt(QString(), key, 0);
  }
  return 0;
}
