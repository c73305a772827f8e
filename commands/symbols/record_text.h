// Conversions between the view's texts and the byte texts and paths of the maintenance layer.
#pragma once

#include <QString>
#include <filesystem>
#include <string>

#include "platform/paths.h"

namespace ledgrix::commands {

// MASTER fields hold one byte per character; the grid shows them as Latin-1.
inline std::string RecordBytes(const QString& text) {
  return text.toLatin1().toStdString();
}

// Paths go through the file layer's one conversion from UTF-8 text, and back.
inline std::filesystem::path FsPath(const QString& text) {
  return platform::PathFromUtf8(text.toStdString());
}

inline QString PathText(const std::filesystem::path& path) {
  return QString::fromStdString(platform::Utf8FromPath(path));
}

}  // namespace ledgrix::commands
