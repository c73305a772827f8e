// ReadSeriesFacts and the names of periodicities and format codes.
#include "formats/facts.h"

#include <cstring>

#include "formats/lookup.h"
#include "formats/portfolio_index.h"
#include "formats/quote_files.h"
#include "platform/files.h"

namespace ledgrix::formats {
namespace {

// A 16-byte text field the way a C string reads it: up to its first zero byte.
std::string CText(const std::string& field) {
  return field.substr(0, field.find('\0'));
}

}  // namespace

std::string PeriodicityText(char letter) {
  const char* name = nullptr;
  switch (letter) {
    case 'D':
      name = "Daily";
      break;
    case 'I':
      name = "Intra-day";
      break;
    case 'W':
      name = "Weekly";
      break;
    case 'M':
      name = "Monthly";
      break;
    case 'Q':
      name = "Quarterly";
      break;
    case 'Y':
      name = "Yearly";
      break;
    default:
      return "ERROR";
  }
  return std::string(1, letter) + " " + name;
}

std::string FormatCodeName(int code) {
  switch (code) {
    case -7:
      return "128ths";
    case -6:
      return "64ths";
    case -5:
      return "32nds";
    case -4:
      return "16ths";
    case -3:
      return "8ths";
    case -2:
      return "4ths";
    case -1:
      return "Halves";
    case 0:
      return "Whole Num.";
    case 1:
      return "10ths";
    case 2:
      return "100ths";
    case 3:
      return "1,000ths";
    case 4:
      return "10,000ths";
    case 5:
      return "100,000ths";
    case 100:
      return "100s";
    case 1000:
      return "1,000s";
    default:
      return std::to_string(code);
  }
}

int ReadSeriesFacts(const std::filesystem::path& dir, std::string_view symbol, SeriesFacts& facts) {
  IndexEntry entry;
  Path found;
  if (LookupSymbol(dir, symbol, entry, found) != kOk)
    return 1;
  const QuoteFiles files = ResolveQuoteFiles(found, entry.fileNumber());
  FieldLayout layout;
  if (ReadFieldLayoutResolved(files, entry.recordLength, layout, entry.periodicity,
                              entry.inXmaster() ? entry.fieldBits : 0) != kOk)
    return 1;
  auto in = files.datExists ? platform::CurrentFileSystem().OpenRead(files.dat) : nullptr;
  if (!in)
    return 1;
  std::uint8_t head[4] = {};
  // A file too short for its header holds no quotes; a failed read is a failure.
  const int lastRecord = in->ReadExact(head, sizeof head) ? (head[2] | (head[3] << 8)) : 0;
  if (in->failed())
    return 1;

  SeriesFacts out;
  out.path = platform::Utf8FromPath(dir);
  out.fileNumber = entry.fileNumber();
  out.recordLength = entry.recordLength;
  out.fieldCount = entry.fieldCount;
  out.quoteCount = lastRecord > 0 ? lastRecord - 1 : 0;
  out.periodicityText = PeriodicityText(entry.periodicity);
  out.indexFile = IndexFileName(entry.key.file);
  if (entry.inXmaster()) {
    out.issueName = entry.name.substr(0, master_offset::kIssueNameSize);
    out.firstDate = static_cast<float>(entry.firstDate);
    out.lastDate = static_cast<float>(entry.lastDate);
    out.symbol = entry.symbol;
    out.longName = entry.fullName();
  } else {
    out.issueName = CText(entry.master.issueName());
    out.firstDate = entry.master.storedFirstDate();
    out.lastDate = entry.master.storedLastDate();
    out.symbol = CText(entry.master.symbolField());
    // The long name is EMASTER's, when it is in step with MASTER.
    PortfolioIndex index;
    if (ReadPortfolioIndex(found, index)) {
      if (const IndexEntry* listed = index.Find(entry.key))
        out.longName = listed->longName;
    }
  }
  for (std::size_t i = 0; i < kFieldNameCount; ++i) {
    if (layout.fieldPosition[i] == 0)
      continue;
    out.inputText[i] = FormatCodeName(layout.inputCode[i]);
    out.displayText[i] = FormatCodeName(layout.displayCode[i]);
  }
  facts = std::move(out);
  return 0;
}

}  // namespace ledgrix::formats
