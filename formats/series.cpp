// QuoteSeries storage and LoadSeries, which reads a window of a symbol's quotes.
#include "formats/series.h"

#include <algorithm>
#include <new>

#include "formats/mbf.h"
#include "platform/files.h"

namespace ledgrix::formats {
namespace {

std::size_t ReadUpTo(platform::InputFile& in, std::uint8_t* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const std::size_t got = in.Read(buffer + done, size - done);
    if (got == 0)
      break;
    done += got;
  }
  return done;
}

// The storage a series can index: never more than the columns actually hold.
std::int32_t UsableCapacity(const QuoteSeries& series) {
  std::size_t held = std::min(series.date.size(), series.time.size());
  for (const auto& column : series.values)
    held = std::min(held, column.size());
  return std::min<std::int32_t>(std::max(series.capacity, 0), static_cast<std::int32_t>(held));
}

// Decodes one record into row k of the series.
void StoreQuote(QuoteSeries& series, int k, const std::uint8_t* record, int fields,
                const FieldLayout& layout) {
  auto field = [&](FieldName name) {
    const int position = layout.fieldPosition[static_cast<std::size_t>(name)];
    if (position < 1 || position > fields)
      return -1.0f;
    return DecodeMbf(record + (position - 1) * 4);
  };
  const auto row = static_cast<std::size_t>(k);
  series.date[row] = DayFromStored(field(kDate));
  series.time[row] = layout.has(kTime) ? TimeFromStored(field(kTime)) : 0;
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

StatusCode LoadSeries(QuoteSeries& series, const std::filesystem::path& dir,
                      std::string_view symbol, std::int32_t start, std::int32_t count) {
  MasterRecord record;
  Path found;
  if (const StatusCode status = LookupSymbol(dir, symbol, record, found); status != kOk) {
    return status;
  }
  const int fileNumber = record.fileNumber();
  const int recordLength = record.recordLength();
  FieldLayout layout;
  if (const StatusCode status = ReadFieldLayout(QuoteFilePath(found, fileNumber, "DOP"),
                                                recordLength, layout, record.periodicity());
      status != kOk) {
    return status;
  }
  auto in = platform::OpenResolved(QuoteFilePath(found, fileNumber, "DAT"));
  if (!in)
    return kFileOpen;
  // lastRecord is an unsigned 16-bit record number; a file too short to hold it has no quotes.
  std::uint8_t head[4] = {};
  const std::int32_t lastRecord = in->ReadExact(head, sizeof head) ? (head[2] | (head[3] << 8)) : 0;
  const std::int32_t n = std::max(lastRecord - 1, 0);

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
  series.path = found.string();
  series.symbol = std::string(symbol);
  series.info->record = record;
  series.info->layout = layout;

  if (count == 0)
    return kOk;
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
  if (!bytes.empty() &&
      in->Seek(static_cast<std::uint64_t>(recordLength) * static_cast<std::uint64_t>(start + 1))) {
    got = ReadUpTo(*in, bytes.data(), bytes.size());
  }
  const auto loaded = static_cast<std::int32_t>(got / static_cast<std::size_t>(recordLength));
  const int fields = recordLength / 4;
  for (std::int32_t k = 0; k < loaded; ++k) {
    StoreQuote(series, k,
               bytes.data() + static_cast<std::size_t>(k) * static_cast<std::size_t>(recordLength),
               fields, layout);
  }
  return SetSeriesCount(series, loaded);
}

}  // namespace ledgrix::formats
