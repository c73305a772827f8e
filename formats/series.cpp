// QuoteSeries storage and LoadSeries, which reads a window of a symbol's quotes.
#include "formats/series.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "formats/lookup.h"
#include "formats/mbf.h"
#include "formats/quote_files.h"
#include "platform/files.h"

namespace ledgrix::formats {
namespace {

// The storage a series can index: never more than the columns actually hold.
std::int32_t UsableCapacity(const QuoteSeries& series) {
  std::size_t held = std::min(series.date.size(), series.time.size());
  for (const auto& column : series.values)
    held = std::min(held, column.size());
  return std::min<std::int32_t>(std::max(series.capacity, 0), static_cast<std::int32_t>(held));
}

// Byte offset of each name's field within a record; -1 where the record does not hold it.
std::array<int, kFieldNameCount> FieldOffsets(const FieldLayout& layout, int fields) {
  std::array<int, kFieldNameCount> offsets{};
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    const int position = layout.fieldPosition[i];
    offsets[i] = (position >= 1 && position <= fields) ? (position - 1) * 4 : -1;
  }
  return offsets;
}

// Decodes one record into row k of the series.
void StoreQuote(QuoteSeries& series, std::size_t row, const std::uint8_t* record,
                const std::array<int, kFieldNameCount>& offsets) {
  auto field = [&](FieldName name) {
    const int offset = offsets[static_cast<std::size_t>(name)];
    return offset < 0 ? -1.0f : DecodeMbf(record + offset);
  };
  series.date[row] = DayFromStored(field(kDate));
  series.time[row] = offsets[kTime] < 0 ? 0 : TimeFromStored(field(kTime));
  for (int name = kOpen; name <= kOi; ++name) {
    series.values[static_cast<std::size_t>(name - kOpen)][row] =
        field(static_cast<FieldName>(name));
  }
}

}  // namespace

StatusCode InitSeries(QuoteSeries& series, std::int32_t capacity) {
  series.path.clear();
  series.symbol.clear();
  series.total = 0;
  series.state = 0;
  series.info.reset();
  series.infoSize = 0;
  // No file holds more quotes than kMaxQuotes; more storage would never be filled.
  if (capacity > kMaxQuotes)
    capacity = kMaxQuotes;
  const auto fail = [&] {
    series.date = {};
    series.time = {};
    series.values = {};
    series.count = 0;
    series.capacity = 0;
    return kMalloc;
  };
  if (capacity < 0)
    return fail();
  try {
    const auto n = static_cast<std::size_t>(capacity);
    series.date.assign(n, 0);
    series.time.assign(n, 0);
    for (auto& column : series.values)
      column.assign(n, 0.0f);
  } catch (const std::bad_alloc&) {
    return fail();
  }
  series.count = capacity;
  series.capacity = capacity;
  return kOk;
}

StatusCode FreeSeries(QuoteSeries& series) {
  series = QuoteSeries{};
  return kOk;
}

StatusCode SetSeriesCount(QuoteSeries& series, std::int32_t count) {
  if (count < 0 || count > series.capacity)
    return kMalloc;
  series.count = count;
  return kOk;
}

StatusCode SeriesReader::Open(const std::filesystem::path& dir, std::string_view symbol) {
  file_.reset();
  IndexEntry entry;
  Path found;
  if (const StatusCode status = LookupSymbol(dir, symbol, entry, found); status != kOk) {
    return status;
  }
  return Open(found, entry, symbol);
}

StatusCode SeriesReader::Open(const std::filesystem::path& foundDir, const IndexEntry& entry,
                              std::string_view searchText) {
  file_.reset();
  const QuoteFiles files = ResolveQuoteFiles(foundDir, entry.fileNumber());
  FieldLayout layout;
  // Only XMASTER's bitset tells the fields; MASTER symbols keep the synthetic layouts.
  if (const StatusCode status =
          ReadFieldLayoutResolved(files, entry.recordLength, layout, entry.periodicity,
                                  entry.inXmaster() ? entry.fieldBits : 0);
      status != kOk) {
    return status;
  }
  auto in = files.datExists ? platform::CurrentFileSystem().OpenRead(files.dat) : nullptr;
  if (!in)
    return kFileOpen;
  entry_ = entry;
  layout_ = layout;
  foundDir_ = foundDir;
  symbol_ = searchText.empty() ? entry.symbol : std::string(searchText);
  file_ = std::move(in);
  return kOk;
}

StatusCode LoadSeries(QuoteSeries& series, const std::filesystem::path& dir,
                      std::string_view symbol, std::int32_t start, std::int32_t count) {
  SeriesReader reader;
  if (const StatusCode status = reader.Open(dir, symbol); status != kOk)
    return status;
  return reader.Load(series, start, count);
}

StatusCode SeriesReader::Load(QuoteSeries& series, std::int32_t start, std::int32_t count) {
  if (!file_)
    return kFileOpen;
  platform::InputFile* in = file_.get();
  const int recordLength = entry_.recordLength;
  // lastRecord is an unsigned 16-bit record number; a file too short to hold it has no quotes.
  std::uint8_t head[4] = {};
  if (!in->Seek(0))
    return kFileRead;
  const std::int32_t lastRecord = in->ReadExact(head, sizeof head) ? (head[2] | (head[3] << 8)) : 0;
  if (in->failed())
    return kFileRead;
  const std::int32_t n = std::max(lastRecord - 1, 0);

  // Only a load that asks for no quotes keeps the count it had (the file facts alone).
  const bool factsOnly = count == 0;
  if (count < 0) {
    const std::int32_t c = std::min(n, static_cast<std::int32_t>(kMaxAutoBars));
    count = start > 0 ? c - start : c;
  }
  if (series.infoSize < kSeriesInfoSize || !series.info) {
    try {
      series.info = std::make_unique<SeriesInfo>();
    } catch (const std::bad_alloc&) {
      FreeSeries(series);
      return kMalloc;
    }
    series.infoSize = kSeriesInfoSize;
  }
  series.state = 3;
  series.total = n;
  series.path = platform::Utf8FromPath(foundDir_);
  series.symbol = symbol_;
  series.info->entry = entry_;
  series.info->layout = layout_;

  if (count == 0)
    return factsOnly ? kOk : SetSeriesCount(series, 0);
  count = std::min(count, UsableCapacity(series));
  if (start < 0)
    start = std::max(n - count, 0);
  if (start > n - 1)
    return kRecordNotFound;

  // One read for the whole window; a short file yields the whole records it holds.
  const std::int32_t wanted = std::max(std::min(count, n - start), 0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(wanted) *
                                  static_cast<std::size_t>(recordLength));
  std::size_t got = 0;
  if (!bytes.empty()) {
    // Seeking past the end succeeds; a seek that fails is a failing file.
    if (!in->Seek(static_cast<std::uint64_t>(recordLength) * static_cast<std::uint64_t>(start + 1)))
      return kFileRead;
    got = in->ReadUpTo(bytes.data(), bytes.size());
  }
  // A read that failed is no short file: the window would silently miss quotes.
  if (in->failed())
    return kFileRead;
  const auto loaded = static_cast<std::int32_t>(got / static_cast<std::size_t>(recordLength));
  const auto offsets = FieldOffsets(layout_, recordLength / 4);
  for (std::int32_t k = 0; k < loaded; ++k) {
    const auto row = static_cast<std::size_t>(k);
    const std::uint8_t* quote = bytes.data() + row * static_cast<std::size_t>(recordLength);
    StoreQuote(series, row, quote, offsets);
    // Bars of one day share their date: skip converting it again.
    if (row > 0 && offsets[kDate] >= 0 &&
        std::memcmp(quote + offsets[kDate], quote - recordLength + offsets[kDate], 4) == 0) {
      series.date[row] = series.date[row - 1];
    }
  }
  return SetSeriesCount(series, loaded);
}

}  // namespace ledgrix::formats
