// Resolves F<n>.DAT and F<n>.DOP together: one stat each, and one directory listing only when a
// name is not on disk in the format's own spelling.
#include "formats/quote_files.h"

#include <string>

#include "formats/index_entry.h"
#include "platform/file_system.h"

namespace ledgrix::formats {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z')
      x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z')
      y = static_cast<char>(y - 'a' + 'A');
    if (x != y)
      return false;
  }
  return true;
}

}  // namespace

QuoteFiles ResolveQuoteFiles(const std::filesystem::path& dir, int fileNumber) {
  platform::FileSystem& fs = platform::CurrentFileSystem();
  const std::string base = "F" + std::to_string(fileNumber);
  const std::string datName = base + "." + QuoteExtension(fileNumber);
  const std::string dopName = base + ".DOP";
  QuoteFiles files;
  files.dat = dir / datName;
  files.dop = dir / dopName;
  files.datExists = fs.Exists(files.dat);
  files.dopExists = fs.Exists(files.dop);
  if (files.datExists && files.dopExists)
    return files;
  for (const platform::DirEntry& entry : fs.List(dir.empty() ? std::filesystem::path(".") : dir)) {
    if (!files.datExists && EqualsIgnoringCase(entry.name, datName)) {
      files.dat = dir / entry.name;
      files.datExists = true;
    } else if (!files.dopExists && EqualsIgnoringCase(entry.name, dopName)) {
      files.dop = dir / entry.name;
      files.dopExists = true;
    }
  }
  return files;
}

std::string QuoteFileName(int fileNumber, std::string_view extension) {
  if (!extension.empty() && extension.front() == '.')
    extension.remove_prefix(1);
  // Built piecewise: GCC 12 warns falsely (-Wrestrict) about a chain of string additions.
  std::string name = "F";
  name += std::to_string(fileNumber);
  name += '.';
  name.append(extension);
  return name;
}

}  // namespace ledgrix::formats
