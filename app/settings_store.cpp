// Sections of named text values kept by QSettings; the one-time import of an old INI file.
#include "app/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/files.h"

namespace {

// The read buffer of the old store held 260 bytes: longer values never read back.
constexpr int kMaxValueLength = 259;
// Lines of the old INI file were read in pieces of at most this many characters.
constexpr qsizetype kMaxIniLine = 519;

QString KeyOf(const QString& section, const QString& name) {
  return section.isEmpty() ? name : section + QLatin1Char('/') + name;
}

}  // namespace

CSettingsStore::CSettingsStore() {
#ifdef Q_OS_WIN
  // The machine-wide store when it can be written, otherwise the user's own.
  m_settings =
      std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::SystemScope,
                                  QStringLiteral("Brookvale Software"), QStringLiteral("Ledgrix"));
  if (!m_settings->isWritable())
    m_settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QStringLiteral("Brookvale Software"),
                                             QStringLiteral("Ledgrix"));
#else
  m_settings =
      std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                  QStringLiteral("Brookvale Software"), QStringLiteral("Ledgrix"));
#endif
}

CSettingsStore::CSettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

CSettingsStore::~CSettingsStore() = default;

bool CSettingsStore::Open(bool* newlyCreated) {
  if (newlyCreated)
    *newlyCreated = false;
  if (m_settings->format() != QSettings::IniFormat) {
    // Registry: the key is new when it holds nothing yet.
    const bool fresh = m_settings->allKeys().isEmpty();
    if (!m_settings->isWritable())
      return false;
    if (newlyCreated)
      *newlyCreated = fresh;
    return true;
  }
  const QString file = m_settings->fileName();
  if (QFileInfo::exists(file))
    return m_settings->isWritable();
  // Create the (empty) store now, so that the next start finds it and imports nothing.
  if (!QDir().mkpath(QFileInfo(file).absolutePath()))
    return false;
  QFile created(file);
  if (!created.open(QIODevice::WriteOnly | QIODevice::Append))
    return false;
  created.close();
  if (newlyCreated)
    *newlyCreated = true;
  return true;
}

QString CSettingsStore::IniImportPath() const {
  namespace platform = ledgrix::platform;
  // On Windows the old file lies in the Windows directory; elsewhere beside the settings file.
  platform::Path folder = platform::WindowsDirectory();
  if (folder.empty())
    folder = platform::PathFromUtf8(QFileInfo(m_settings->fileName()).absolutePath().toStdString());
  // The old file may be spelt in any case.
  const platform::Path resolved = platform::ResolveName(folder, "Ledgrix.INI");
  return QString::fromStdString(platform::Utf8FromPath(resolved));
}

void CSettingsStore::ImportIniFile(const QString& iniPath) {
  QFile file(iniPath);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    return;
  const QString all = QString::fromLocal8Bit(file.readAll());
  QStringList pieces;
  for (const QString& fullLine : all.split(QLatin1Char('\n'))) {
    // A long line arrives in pieces, each treated as a line of its own.
    for (qsizetype from = 0; from == 0 || from < fullLine.size(); from += kMaxIniLine)
      pieces.append(fullLine.mid(from, kMaxIniLine));
  }
  QString section;
  bool inSection = false;
  for (const QString& piece : pieces) {
    const QString line = piece.trimmed();
    const qsizetype close = line.indexOf(QLatin1Char(']'));
    if (!line.isEmpty() && line.indexOf(QLatin1Char('[')) == 0 && close == line.size() - 1) {
      QString name = line;
      name[0] = QLatin1Char(' ');
      name[close] = QLatin1Char(' ');
      section = name.trimmed();
      inSection = true;
      continue;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || !inSection)
      continue;
    const QString name = line.left(eq);
    if (name.isEmpty())
      continue;  // the key's unnamed value: nobody reads it
    m_settings->setValue(KeyOf(section, name), line.mid(eq + 1));
  }
  m_settings->sync();
}

QString CSettingsStore::GetString(const QString& section, const QString& name,
                                  const QString& defaultValue) const {
  const QVariant value = m_settings->value(KeyOf(section, name));
  if (!value.isValid())
    return defaultValue;
  // A hand-written INI value with commas reads back as a list.
  const QString text = value.typeId() == QMetaType::QStringList
                           ? value.toStringList().join(QStringLiteral(", "))
                           : value.toString();
  if (text.size() > kMaxValueLength)
    return defaultValue;
  return text;
}

int CSettingsStore::GetInt(const QString& section, const QString& name, int defaultValue) const {
  const QVariant value = m_settings->value(KeyOf(section, name));
  if (!value.isValid())
    return defaultValue;
  const QString text = value.toString();
  if (text.size() > kMaxValueLength)
    return defaultValue;
  const std::string bytes = text.toStdString();
  const char* begin = bytes.c_str();
  char* end = nullptr;
  errno = 0;
  const long number = std::strtol(begin, &end, 10);
  if (end == begin)
    return defaultValue;
  if (errno == ERANGE || number > INT_MAX || number < INT_MIN)
    return defaultValue;
  return static_cast<int>(number);
}

bool CSettingsStore::SetInt(const QString& section, const QString& name, int value) {
  return SetString(section, name, QString::number(value));
}

bool CSettingsStore::SetString(const QString& section, const QString& name, const QString& value) {
  if (!m_settings->isWritable())
    return false;
  m_settings->setValue(KeyOf(section, name), value);
  m_settings->sync();
  return m_settings->status() == QSettings::NoError;
}
