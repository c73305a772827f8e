// QuoteSeries storage and LoadSeries, which reads a window of a symbol's quotes.
#include "formats/series.h"

#include <algorithm>
#include <new>

#include "formats/lookup.h"
#include "formats/mbf.h"
#include "formats/quote_files.h"
#include "platform/files.h"

namespace ledgrix::formats {
namespace {

// How far a reader that pages through a file reads ahead.
constexpr std::int32_t kReadAheadBytes = 256 * 1024;

// The storage a series can index: never more than the columns actually hold.
std::int32_t UsableCapacity(const QuoteSeries& series) {
  std::size_t held = std::min(series.date.size(), series.time.size());
  for (const auto& column : series.values)
    held = std::min(held, column.size());
  return std::min<std::int32_t>(std::max(series.capacity, 0), static_cast<std::int32_t>(held));
}

// Word of each name's field within a record; -1 where the record does not hold it.
std::array<int, kFieldNameCount> FieldWords(const FieldLayout& layout, int fields) {
  std::array<int, kFieldNameCount> words{};
  for (std::size_t i = 0; i < words.size(); ++i) {
    const int position = layout.fieldPosition[i];
    words[i] = (position >= 1 && position <= fields) ? position - 1 : -1;
  }
  return words;
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
  // lastRecord is an unsigned 16-bit record number; a file too short to hold it has no quotes.
  std::uint8_t head[4] = {};
  const std::int32_t lastRecord = in->ReadExact(head, sizeof head) ? (head[2] | (head[3] << 8)) : 0;
  if (in->failed())
    return kFileRead;
  entry_ = entry;
  layout_ = layout;
  foundDir_ = foundDir;
  symbol_ = searchText.empty() ? entry.symbol : std::string(searchText);
  file_ = std::move(in);
  quotes_ = std::max(lastRecord - 1, 0);
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
  const int recordLength = entry_.recordLength;
  const std::int32_t n = quotes_;

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

  const std::int32_t wanted = std::max(std::min(count, n - start), 0);
  const std::int32_t end = start + wanted;
  if (wanted > 0 && (start < blockFirst_ || end > blockFirst_ + blockRecords_)) {
    if (const StatusCode status = ReadBlock(start, end); status != kOk)
      return status;
  }
  lastStart_ = start;
  lastEnd_ = end;
  // A short file yields the whole records it holds.
  const std::int32_t loaded =
      wanted > 0 ? std::clamp(blockFirst_ + blockRecords_ - start, 0, wanted) : 0;
  const std::size_t offset =
      static_cast<std::size_t>(start - blockFirst_) * static_cast<std::size_t>(recordLength);
  StoreWindow(series, loaded > 0 ? block_.data() + offset : nullptr, loaded);
  return SetSeriesCount(series, loaded);
}

StatusCode SeriesReader::ReadBlock(std::int32_t start, std::int32_t end) {
  // A reader paging through the file reads several windows ahead in the direction it goes (the
  // grid from the newest back, the split search forward); any other load reads its own window.
  const int recordLength = entry_.recordLength;
  const std::int32_t ahead = std::max(kReadAheadBytes / recordLength, end - start);
  std::int32_t from = start;
  std::int32_t to = end;
  if (lastStart_ >= 0 && end <= lastStart_ + 1 && end > lastStart_ - (end - start))
    from = std::max(end - ahead, 0);
  else if (lastStart_ >= 0 && start >= lastEnd_ - 1 && start < lastEnd_ + (end - start))
    to = std::min(start + ahead, quotes_);
  blockFirst_ = from;
  blockRecords_ = 0;
  block_.resize(static_cast<std::size_t>(to - from) * static_cast<std::size_t>(recordLength));
  // Seeking past the end succeeds; a seek that fails is a failing file.
  if (!file_->Seek(static_cast<std::uint64_t>(recordLength) * static_cast<std::uint64_t>(from + 1)))
    return kFileRead;
  const std::size_t got = file_->ReadUpTo(block_.data(), block_.size());
  // A read that failed is no short file: the window would silently miss quotes.
  if (file_->failed())
    return kFileRead;
  blockRecords_ = static_cast<std::int32_t>(got / static_cast<std::size_t>(recordLength));
  return kOk;
}

void SeriesReader::StoreWindow(QuoteSeries& series, const std::uint8_t* records,
                               std::int32_t loaded) {
  // An empty window stores nothing (and has no numbers to point into).
  if (loaded <= 0)
    return;
  // Every number of the window in one go, then each column picked out of the records.
  const std::size_t stride = static_cast<std::size_t>(entry_.recordLength) / 4;
  const auto rows = static_cast<std::size_t>(loaded);
  numbers_.resize(rows * stride);
  DecodeMbfRun(records, numbers_.data(), numbers_.size());
  const auto words = FieldWords(layout_, static_cast<int>(stride));
  const float* first = numbers_.data();

  // A field the record lacks reads as absent: no date, no time, -1 for a value.
  if (words[kDate] < 0) {
    std::fill_n(series.date.begin(), rows, QuoteDate{0});
  } else {
    const float* field = first + words[kDate];
    for (std::size_t k = 0; k < rows; ++k)
      series.date[k] = dates_(field[k * stride]);
  }
  if (words[kTime] < 0) {
    std::fill_n(series.time.begin(), rows, QuoteTime{0});
  } else {
    const float* field = first + words[kTime];
    for (std::size_t k = 0; k < rows; ++k)
      series.time[k] = TimeFromStored(field[k * stride]);
  }
  for (int name = kOpen; name <= kOi; ++name) {
    float* column = series.values[static_cast<std::size_t>(name - kOpen)].data();
    const int word = words[static_cast<std::size_t>(name)];
    if (word < 0) {
      std::fill_n(column, rows, -1.0f);
      continue;
    }
    const float* field = first + word;
    for (std::size_t k = 0; k < rows; ++k)
      column[k] = field[k * stride];
  }
}

}  // namespace ledgrix::formats
