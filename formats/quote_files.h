// The quote files of one symbol, their names resolved with at most one look at the directory,
// for the readers that open both (the loader, the facts).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "formats/field_layout.h"
#include "formats/status.h"

namespace ledgrix::formats {

struct QuoteFiles {
  std::filesystem::path dat;  // F<n>.DAT (F<n>.MWD above 255), spelled as on disk when it exists
  std::filesystem::path dop;  // F<n>.DOP, likewise
  bool datExists = false;
  bool dopExists = false;
};

QuoteFiles ResolveQuoteFiles(const std::filesystem::path& dir, int fileNumber);

// "F<n>.<extension>" as the format names it (work and backup files are created under it).
std::string QuoteFileName(int fileNumber, std::string_view extension);

// ReadFieldLayout on names already resolved: no further directory listing.
StatusCode ReadFieldLayoutResolved(const QuoteFiles& files, int recordLength, FieldLayout& layout,
                                   char periodicity, std::uint8_t fieldBits = 0);

}  // namespace ledgrix::formats
