// The one home of persistent settings: sections of named text values over QSettings.
#pragma once

#include <QString>
#include <memory>

class QSettings;

// Every value is stored as text; integers as their "%d" text. Reads that find nothing usable
// return the default; failed writes are not reported (the program runs on with defaults).
class CSettingsStore {
 public:
  // The application's own store: organisation "Brookvale Software", application "Ledgrix".
  CSettingsStore();
  // A store kept in the given INI file (tests).
  explicit CSettingsStore(const QString& iniFile);
  virtual ~CSettingsStore();

  // Opens the application key; *newlyCreated tells whether it did not exist before this start.
  bool Open(bool* newlyCreated);
  // Brings the sections of an old INI file (Ledgrix.INI) into the store.
  void ImportIniFile(const QString& iniPath);
  // Where the old INI file is looked for: the folder that holds the settings file.
  QString IniImportPath() const;

  int GetInt(const QString& section, const QString& name, int defaultValue) const;
  bool SetInt(const QString& section, const QString& name, int value);
  QString GetString(const QString& section, const QString& name, const QString& defaultValue) const;
  bool SetString(const QString& section, const QString& name, const QString& value);

 private:
  std::unique_ptr<QSettings> m_settings;
};
