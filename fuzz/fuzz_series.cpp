// A MASTER with its quote files (F<n>.DAT, F<n>.DOP) through LoadSeries, in several windows,
// and FindQuoteRecord. Input: the search text (1-byte length, then the text), four windows of
// capacity, start and count, a date and a time for the search, then the archive of files.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/series.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "maintenance/quote_rewrite.h"
#include "platform/file_system.h"

namespace {

using namespace ledgrix;

struct Window {
  std::int32_t capacity;
  std::int32_t start;
  std::int32_t count;
};

void Load(const std::string& symbol, const Window& window) {
  formats::QuoteSeries series;
  if (formats::InitSeries(series, window.capacity) != formats::kOk)
    return;
  const formats::StatusCode status =
      formats::LoadSeries(series, fuzz::kFuzzRoot, symbol, window.start, window.count);
  LEDGRIX_FUZZ_CHECK(status <= 0);
  LEDGRIX_FUZZ_CHECK(series.count >= 0 && series.count <= series.capacity);
  if (status == formats::kOk) {
    LEDGRIX_FUZZ_CHECK(series.total >= 0 && series.total <= formats::kMaxQuotes);
    LEDGRIX_FUZZ_CHECK(series.info != nullptr);
    LEDGRIX_FUZZ_CHECK(window.count == 0 || series.count <= series.total);
    // Every row the count admits can be read (the sanitizers watch the reads).
    float sum = 0;
    for (int k = 0; k < series.count; ++k) {
      sum += static_cast<float>(series.date[static_cast<std::size_t>(k)]) +
             static_cast<float>(series.time[static_cast<std::size_t>(k)]);
      for (int field = formats::kOpen; field <= formats::kOi; ++field) {
        sum += series.value(static_cast<formats::FieldName>(field), k);
      }
    }
    (void)sum;
  }
  formats::FreeSeries(series);
  LEDGRIX_FUZZ_CHECK(series.count == 0 && series.capacity == 0 && !series.info);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput in(data, size);
  const std::string symbol(in.Take(in.U8() % 32));
  Window windows[4];
  for (Window& w : windows) {
    w.capacity = in.U16() % 2400;  // both storage forms: the interleaved ends at 2321
    w.start = in.I16();
    w.count = in.I16();
  }
  const formats::QuoteDate date = in.U16();
  const formats::QuoteTime time = in.U16();
  testing::MemoryFileSystem fs;
  fuzz::UnpackArchive(in, fs);
  platform::ScopedFileSystem installed(fs);

  for (const Window& w : windows)
    Load(symbol, w);
  // The windows the program itself asks for.
  Load(symbol, {1, 0, 0});
  Load(symbol, {1, 0, 1});
  Load(symbol, {1, -1, 1});
  Load(symbol, {400, 0, 400});

  formats::QuoteDate foundDate = 0;
  formats::QuoteTime foundTime = 0;
  const std::int32_t index =
      maintenance::FindQuoteRecord(fuzz::kFuzzRoot, symbol, date, time, &foundDate, &foundTime);
  if (index >= 0) {
    formats::QuoteSeries total;
    (void)formats::InitSeries(total, 1);
    if (formats::LoadSeries(total, fuzz::kFuzzRoot, symbol, 0, 0) == formats::kOk) {
      LEDGRIX_FUZZ_CHECK(index < std::max(total.total, 1));
    }
    formats::FreeSeries(total);
  }
  return 0;
}
