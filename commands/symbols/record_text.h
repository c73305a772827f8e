// Conversions between the view's texts and the byte texts and paths of the maintenance layer.
#pragma once

#include <QString>
#include <filesystem>
#include <string>

namespace ledgrix::commands {

// MASTER fields hold one byte per character; the grid shows them as Latin-1.
inline std::string RecordBytes(const QString& text) {
  return text.toLatin1().toStdString();
}

inline std::filesystem::path FsPath(const QString& text) {
  return std::filesystem::path(text.toStdU16String());
}

}  // namespace ledgrix::commands
