// The quote series rewrite: the whole F<n>.DAT is read, changed in memory and put back through
// F<n>.NEW with F<n>.BAK kept, so the old file stays complete until the new one is durable.
#include "maintenance/quote_rewrite.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "formats/field_layout.h"
#include "formats/lookup.h"
#include "formats/mbf.h"
#include "formats/quote_files.h"
#include "formats/series.h"
#include "maintenance/index_update.h"
#include "platform/files.h"

namespace ledgrix::maintenance {

using formats::FieldLayout;
using formats::FieldName;
using formats::IndexEntry;

namespace {

inline constexpr const char* kDeleteNotFoundMessage = "failure in delete quote for findrec";

std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void WriteU16(std::uint8_t* p, std::uint16_t value) {
  p[0] = static_cast<std::uint8_t>(value & 0xFF);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

// What the rewrite and the record search learn about a symbol before they touch its file.
struct SymbolFiles {
  IndexEntry record;
  std::filesystem::path foundDir;
  FieldLayout layout;
  int recordLength = 0;
  // Fields decoded and re-encoded per record: all the record holds, as the loader reads them.
  int fields = 0;
  std::filesystem::path datPath;
};

StatusCode FindSymbolFiles(const std::filesystem::path& dir, std::string_view symbol,
                           SymbolFiles& files) {
  StatusCode status = formats::LookupSymbol(dir, symbol, files.record, files.foundDir);
  if (status != formats::kOk)
    return status;
  files.recordLength = files.record.recordLength;
  if (!formats::IsUsableRecordLength(files.recordLength))
    return formats::kNoFieldLayout;
  files.fields = files.recordLength / 4;
  int n = files.record.fileNumber();
  // Only XMASTER's bitset tells the fields; MASTER symbols keep the synthetic layouts.
  status = formats::ReadFieldLayout(formats::QuoteFilePath(files.foundDir, n, "DOP"),
                                    files.recordLength, files.layout, files.record.periodicity,
                                    files.record.inXmaster() ? files.record.fieldBits : 0);
  if (status != formats::kOk)
    return status;
  // A position the record does not decode is no field of this file.
  for (auto& position : files.layout.fieldPosition) {
    if (position < 0 || position > files.fields)
      position = 0;
  }
  files.datPath = formats::QuoteDataPath(files.foundDir, n);
  return formats::kOk;
}

// One quote record decoded: element 0 is the -1.0 that absent fields read.
struct DecodedRecord {
  std::array<float, formats::kMaxFields + 1> field{};

  void Decode(const std::uint8_t* bytes, int fields) {
    field[0] = -1.0f;
    for (int f = 1; f <= fields; ++f)
      field[f] = formats::DecodeMbf(bytes + 4 * (f - 1));
  }
  void Encode(std::uint8_t* bytes, int fields) const {
    for (int f = 1; f <= fields; ++f) {
      formats::StoredNumber stored = formats::EncodeMbf(field[f]);
      std::memcpy(bytes + 4 * (f - 1), stored.data(), stored.size());
    }
  }
  float& at(const FieldLayout& layout, FieldName name) { return field[layout.fieldPosition[name]]; }
};

float StoredDateOf(const std::uint8_t* bytes, const SymbolFiles& files) {
  int position = files.layout.fieldPosition[formats::kDate];
  return position == 0 ? -1.0f : formats::DecodeMbf(bytes + 4 * (position - 1));
}

float StoredTimeOf(const std::uint8_t* bytes, const SymbolFiles& files) {
  int position = files.layout.fieldPosition[formats::kTime];
  return position == 0 ? 0.0f : formats::DecodeMbf(bytes + 4 * (position - 1));
}

// The binary search over the sorted quotes; readQuote(index, bytes) fetches one record.
template <typename ReadQuote>
std::int32_t SearchQuotes(const SymbolFiles& files, std::uint16_t lastRecord, QuoteDate date,
                          QuoteTime time, ReadQuote readQuote, QuoteDate* foundDate,
                          QuoteTime* foundTime) {
  formats::Ymd ymd = formats::YmdFromDay(date);
  float target = static_cast<float>(ymd.year * 10000 + ymd.month * 100 + ymd.day);
  float targetTime = 0.0f;
  if (files.layout.has(formats::kTime)) {
    formats::Hms hms = formats::HmsFromTime(time);
    targetTime = static_cast<float>(hms.hours * 10000 + hms.minutes * 100 + hms.seconds);
  }

  std::vector<std::uint8_t> record(static_cast<std::size_t>(files.recordLength));
  std::int32_t lo = 0;
  std::int32_t hi = static_cast<std::int32_t>(lastRecord) - 2;
  std::int32_t previous = 0;
  std::int32_t result = -1;
  std::int32_t error = 0;
  bool readAny = false;
  float d = 0.0f;
  float t = 0.0f;
  // Seventeen halvings cover every file; the bound only guards against a loop.
  for (int round = 0; round < 64; ++round) {
    std::int32_t mid = (lo + hi + 1) / 2;
    if (mid == previous) {
      if (lo != 0) {
        result = mid;
        break;
      }
      mid = 0;
    }
    if (mid < 0 || !readQuote(mid, record.data())) {
      error = formats::kFileRead;
      break;
    }
    readAny = true;
    d = StoredDateOf(record.data(), files);
    t = StoredTimeOf(record.data(), files);
    if ((d == target && t == targetTime) || mid == 0) {
      result = mid;
      break;
    }
    if (d > target || (d == target && t > targetTime)) {
      hi = mid;
    } else {
      lo = mid;
    }
    previous = mid;
  }
  if (result < 0 && error == 0)
    error = formats::kFileRead;
  if (readAny && (d < target || (d == target && t < targetTime))) {
    if (error == 0)
      error = formats::kRecordNotFound;
  }
  if (readAny) {
    if (foundDate)
      *foundDate = formats::DayFromStored(d);
    if (foundTime)
      *foundTime = formats::TimeFromStored(t);
  }
  return error != 0 ? error : result;
}

// The index files of dir with firstDate and/or lastDate of fileNumber's entries replaced:
// MASTER and EMASTER, or XMASTER, each kept as a backup.
bool ReplaceMasterDates(const std::filesystem::path& dir, std::uint16_t fileNumber,
                        const formats::StoredNumber* first, const formats::StoredNumber* last) {
  IndexUpdate update;
  std::string error;
  if (!update.Load(dir, &error))
    return false;
  update.SetDates(fileNumber, first, last);
  return update.Commit(".NEW", ".BAK").ok();
}

// Quote k's date as the loader gives it, in the stored encoding.
formats::StoredNumber StoredDateOfQuote(const std::vector<std::uint8_t>& content, std::size_t k,
                                        const SymbolFiles& files) {
  const std::uint8_t* bytes = content.data() + files.recordLength * (k + 1);
  return formats::StoredFromDay(formats::DayFromStored(StoredDateOf(bytes, files)));
}

bool InRange(QuoteDate d, const QuoteChange& change) {
  return change.firstDate <= d && d <= change.lastDate;
}

}  // namespace

StatusCode ApplyQuoteChange(const QuoteChange& change, const std::filesystem::path& dir,
                            std::string_view symbol, Prompt& prompt) {
  SymbolFiles files;
  StatusCode status = FindSymbolFiles(dir, symbol, files);
  if (status != formats::kOk)
    return status;

  std::vector<std::uint8_t> old;
  if (!platform::ReadWholeFile(files.datPath, old))
    return formats::kFileOpen;
  const std::size_t length = static_cast<std::size_t>(files.recordLength);
  if (old.size() < length)
    return formats::kFileRead;  // not even a whole header
  const std::size_t records = old.size() / length - 1;
  std::uint16_t lastRecord = ReadU16(old.data() + 2);
  const FieldLayout& layout = files.layout;

  auto dateOf = [&](std::size_t k) {
    return formats::DayFromStored(StoredDateOf(old.data() + length * (k + 1), files));
  };

  // A delete leaves out the quote the search settles on; it must be the requested day.
  std::int32_t deleteIndex = -1;
  if (change.operation == kDelete) {
    QuoteDate found = 0;
    deleteIndex = SearchQuotes(
        files, lastRecord, change.firstDate, 0,
        [&](std::int32_t index, std::uint8_t* out) {
          std::size_t at = length * (static_cast<std::size_t>(index) + 1);
          if (at + length > old.size())
            return false;
          std::memcpy(out, old.data() + at, length);
          return true;
        },
        &found, nullptr);
    // A quote beyond the count the header gives is not in the series: deleting it would wrap
    // the count.
    if (deleteIndex < 0 || deleteIndex >= static_cast<std::int32_t>(lastRecord) - 1 ||
        found != change.firstDate) {
      prompt.Message(kDeleteNotFoundMessage, PromptIcon::kNone);
      return formats::kDeleteNotFound;
    }
  }

  std::size_t inserted = 0;
  if (change.operation == kInsert) {
    for (std::size_t k = 0; k < records; ++k) {
      if (InRange(dateOf(k), change))
        ++inserted;
    }
    std::size_t quotes = std::max<std::size_t>(records, lastRecord > 0 ? lastRecord - 1u : 0u);
    if (quotes + inserted > static_cast<std::size_t>(formats::kMaxQuotes))
      return formats::kMalloc;
  }

  std::vector<std::uint8_t> out;
  out.reserve(length * (records + 1 + inserted));
  out.insert(out.end(), old.begin(), old.begin() + static_cast<std::ptrdiff_t>(length));
  if (change.operation == kDelete) {
    WriteU16(out.data() + 2, static_cast<std::uint16_t>(lastRecord - 1));
  } else if (change.operation == kInsert) {
    WriteU16(out.data() + 2, static_cast<std::uint16_t>(lastRecord + inserted));
  }

  static constexpr FieldName kValueFields[6] = {formats::kOpen,  formats::kHigh, formats::kLow,
                                                formats::kClose, formats::kVol,  formats::kOi};
  bool deleted = false;
  DecodedRecord quote;
  std::vector<std::uint8_t> bytes(length);
  for (std::size_t k = 0; k < records; ++k) {
    std::memcpy(bytes.data(), old.data() + length * (k + 1), length);
    quote.Decode(bytes.data(), files.fields);
    QuoteDate d = formats::DayFromStored(quote.at(layout, formats::kDate));
    bool skip = false;
    if (InRange(d, change)) {
      switch (change.operation) {
        case kSet:
          for (int v = 0; v < 6; ++v) {
            if (layout.has(kValueFields[v]))
              quote.at(layout, kValueFields[v]) = change.values[v];
          }
          break;
        case kScale:
        case kScaleAlt:
          for (int v = 0; v < 6; ++v) {
            if (layout.has(kValueFields[v]))
              quote.at(layout, kValueFields[v]) *= change.values[v];
          }
          break;
        case kDelete:
          skip = !deleted;
          deleted = true;
          break;
        case kInsert: {
          // The copy in front carries the weekday before the quote's own date.
          std::vector<std::uint8_t> copy = bytes;
          quote.Encode(copy.data(), files.fields);
          if (layout.has(formats::kDate)) {
            formats::StoredNumber day = formats::StoredFromDay(formats::WeekdayBefore(d));
            int position = layout.fieldPosition[formats::kDate];
            std::memcpy(copy.data() + 4 * (position - 1), day.data(), day.size());
          }
          out.insert(out.end(), copy.begin(), copy.end());
          break;
        }
        default:
          break;
      }
    }
    quote.Encode(bytes.data(), files.fields);
    if (!skip)
      out.insert(out.end(), bytes.begin(), bytes.end());
  }

  const int n = files.record.fileNumber();
  platform::IoResult written = platform::ReplaceFile(
      files.datPath, formats::QuoteFileName(n, "NEW"), out, formats::QuoteFileName(n, "BAK"));
  if (!written)
    return formats::kFileWrite;

  // The MASTER dates follow a delete at either end, in the MASTER that lists the symbol; the
  // count is the file's, not what a view last showed.
  if (change.operation == kDelete) {
    const std::int32_t count = static_cast<std::int32_t>(lastRecord) - 1;
    const std::int32_t i = deleteIndex;
    const std::filesystem::path& foundDir = files.foundDir;
    bool ok = true;
    if (i == 0 && count > 1 && records > 1) {
      formats::StoredNumber first = StoredDateOfQuote(old, 1, files);
      ok = ReplaceMasterDates(foundDir, files.record.fileNumber(), &first, nullptr);
    } else if (i == count - 1 && count > 1 && static_cast<std::int32_t>(records) >= count - 1) {
      formats::StoredNumber last =
          StoredDateOfQuote(old, static_cast<std::size_t>(count - 2), files);
      ok = ReplaceMasterDates(foundDir, files.record.fileNumber(), nullptr, &last);
    } else if (i == 0 && count == 1) {
      formats::StoredNumber both = StoredDateOfQuote(old, 0, files);
      ok = ReplaceMasterDates(foundDir, files.record.fileNumber(), &both, &both);
    }
    if (!ok)
      return formats::kFileWrite;
  }
  return formats::kOk;
}

std::int32_t FindQuoteRecord(const std::filesystem::path& dir, std::string_view symbol,
                             QuoteDate date, QuoteTime time, QuoteDate* foundDate,
                             QuoteTime* foundTime) {
  SymbolFiles files;
  StatusCode status = FindSymbolFiles(dir, symbol, files);
  if (status != formats::kOk)
    return status;
  std::unique_ptr<platform::InputFile> file = platform::OpenResolved(files.datPath);
  if (!file)
    return formats::kFileOpen;
  std::uint8_t header[4];
  if (!file->ReadExact(header, sizeof header))
    return formats::kFileRead;
  const std::uint64_t length = static_cast<std::uint64_t>(files.recordLength);
  return SearchQuotes(
      files, ReadU16(header + 2), date, time,
      [&](std::int32_t index, std::uint8_t* out) {
        return file->Seek(length * (static_cast<std::uint64_t>(index) + 1)) &&
               file->ReadExact(out, length);
      },
      foundDate, foundTime);
}

int UpdateMasterDate(const std::filesystem::path& masterPath, const formats::StoredNumber& stored,
                     std::uint16_t fileNumber, bool firstDate) {
  const std::filesystem::path dir = masterPath.parent_path();
  bool ok = firstDate ? ReplaceMasterDates(dir, fileNumber, &stored, nullptr)
                      : ReplaceMasterDates(dir, fileNumber, nullptr, &stored);
  return ok ? 0 : 1;
}

}  // namespace ledgrix::maintenance
