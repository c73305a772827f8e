// A window of one symbol's quotes in memory, filled from the portfolio files by LoadSeries.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "formats/dates.h"
#include "formats/field_layout.h"
#include "formats/index_entry.h"
#include "formats/status.h"
#include "platform/file_system.h"

namespace ledgrix::formats {

// A negative count asks for at most this many quotes.
inline constexpr int kMaxAutoBars = 16000;
// lastRecord is an unsigned 16-bit record number, the header being record 1.
inline constexpr int kMaxQuotes = 65534;

// What the last load learned about the symbol.
struct SeriesInfo {
  IndexEntry entry;  // as LookupSymbol returned it
  FieldLayout layout;
};
inline constexpr std::uint16_t kSeriesInfoSize = 101;

// A series of several quotes a day: periodicity 'I' or a TIME field.
inline bool IsIntraday(const SeriesInfo& info) {
  return info.entry.periodicity == 'I' || info.layout.has(kTime);
}

// Columns in the order DATE, TIME, OPEN, HIGH, LOW, CLOSE, VOL, OI. A field the file does not
// hold reads -1.0 (TIME: 0).
struct QuoteSeries {
  std::vector<QuoteDate> date;
  std::vector<QuoteTime> time;
  std::array<std::vector<float>, 6> values;  // OPEN, HIGH, LOW, CLOSE, VOL, OI

  std::string path;    // found directory of the last load, ending in a separator
  std::string symbol;  // search text of the last load
  std::int32_t count = 0;
  std::int32_t capacity = 0;
  std::int32_t total = 0;  // quotes in the file: lastRecord - 1
  std::int16_t state = 0;  // 0 after InitSeries, 3 once a load opened the quote file
  std::uint16_t infoSize = 0;
  std::unique_ptr<SeriesInfo> info;

  // Value of OPEN ... OI (a FieldName from kOpen) at position k.
  float value(FieldName field, int k) const { return values[field - kOpen][k]; }
};

// Prepares storage for capacity quotes; kMalloc (capacity 0) when it cannot be had.
StatusCode InitSeries(QuoteSeries& series, std::int32_t capacity);
// Releases the storage and clears the whole record. Returns 0.
StatusCode FreeSeries(QuoteSeries& series);
// kMalloc when count exceeds the capacity (nothing changes).
StatusCode SetSeriesCount(QuoteSeries& series, std::int32_t count);

// Loads quotes start .. start+count-1 (0 = oldest; start < 0: the newest count quotes;
// count < 0: up to kMaxAutoBars; count 0: only total and info). Results: 0, kFileNotFound,
// kFileRead, kNoFieldLayout, kFileOpen, kMalloc, kRecordNotFound (start beyond the last quote).
StatusCode LoadSeries(QuoteSeries& series, const std::filesystem::path& dir,
                      std::string_view symbol, std::int32_t start, std::int32_t count);

// Pages through one symbol's quotes with a single lookup: Open finds the symbol, its layout and
// its quote file and reads the file's quote count once; each Load then costs at most a seek and
// a read, and a reader paging through the file reads several windows ahead. Load follows
// LoadSeries' rules exactly. Open again after anything rewrote the portfolio (the file stays open
// meanwhile).
class SeriesReader {
 public:
  // Results: 0, kFileNotFound, kFileRead, kNoFieldLayout, kFileOpen.
  StatusCode Open(const std::filesystem::path& dir, std::string_view symbol);
  // Opens an entry already found (foundDir: the directory whose index lists it), no lookup;
  // searchText is what the series names as its symbol (default: the entry's).
  // Results: 0, kNoFieldLayout, kFileOpen.
  StatusCode Open(const std::filesystem::path& foundDir, const IndexEntry& entry,
                  std::string_view searchText = {});
  bool isOpen() const { return file_ != nullptr; }
  // Results as LoadSeries after the lookup; kFileOpen when not open.
  StatusCode Load(QuoteSeries& series, std::int32_t start, std::int32_t count);

  const IndexEntry& entry() const { return entry_; }
  const FieldLayout& layout() const { return layout_; }
  const Path& foundDir() const { return foundDir_; }

 private:
  // Reads records start .. end - 1, or more of them in the direction the loads page, into block_.
  StatusCode ReadBlock(std::int32_t start, std::int32_t end);
  // Decodes `loaded` records into rows 0 .. loaded - 1 of series.
  void StoreWindow(QuoteSeries& series, const std::uint8_t* records, std::int32_t loaded);

  IndexEntry entry_;
  FieldLayout layout_;
  Path foundDir_;
  std::string symbol_;
  std::unique_ptr<platform::InputFile> file_;
  std::int32_t quotes_ = 0;          // lastRecord - 1 of the header
  std::vector<std::uint8_t> block_;  // records blockFirst_ .. + blockRecords_ - 1 as read
  std::int32_t blockFirst_ = 0;
  std::int32_t blockRecords_ = 0;
  std::int32_t lastStart_ = -1;  // the window loaded last
  std::int32_t lastEnd_ = -1;
  std::vector<float> numbers_;  // the records of a window, decoded
  StoredDateDecoder dates_;
};

}  // namespace ledgrix::formats
