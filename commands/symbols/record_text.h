// Conversions between the view's texts and the byte texts and paths of the maintenance layer.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

#include "formats/windows1252.h"
#include "platform/paths.h"

namespace ledgrix::commands {

// Symbols hold ASCII only (the display symbol stops at any other byte); one byte a character.
inline std::string RecordBytes(const QString& text) {
  return text.toLatin1().toStdString();
}

// Names are Windows-1252 bytes in the files.
inline QString FromWindows1252(const std::string& bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char b : bytes)
    *out++ = QChar(formats::Windows1252ToUnicode(static_cast<unsigned char>(b)));
  return text;
}
// nullopt when text holds a character the code page cannot hold.
inline std::optional<std::string> ToWindows1252(const QString& text) {
  return formats::Utf8ToWindows1252(text.toStdString());
}
// The first character of text the code page cannot hold; empty when there is none.
inline QString FirstUnencodable(const QString& text) {
  return QString::fromStdString(formats::FirstUnencodable(text.toStdString()));
}

// Paths go through the file layer's one conversion from UTF-8 text, and back.
inline std::filesystem::path FsPath(const QString& text) {
  return platform::PathFromUtf8(text.toStdString());
}

inline QString PathText(const std::filesystem::path& path) {
  return QString::fromStdString(platform::Utf8FromPath(path));
}

}  // namespace ledgrix::commands
