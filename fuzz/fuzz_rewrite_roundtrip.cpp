// A round trip through the quote rewrite: ApplyQuoteChange on a fuzzed but loadable series, then
// a reload that must succeed. Input: the operation, the first and last day, six values, the
// search text (1-byte length, then the text), then the archive of the portfolio's files.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/index_entry.h"
#include "formats/series.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "maintenance/prompt.h"
#include "maintenance/quote_rewrite.h"
#include "platform/file_system.h"

namespace {

using namespace ledgrix;

struct Loaded {
  formats::StatusCode status = 0;
  std::int32_t total = 0;
  std::string path;
  int fileNumber = 0;
};

Loaded Facts(const std::string& symbol) {
  formats::QuoteSeries series;
  Loaded loaded;
  (void)formats::InitSeries(series, 1);
  loaded.status = formats::LoadSeries(series, fuzz::kFuzzRoot, symbol, 0, 0);
  if (loaded.status == formats::kOk) {
    loaded.total = series.total;
    loaded.path = series.path;
    loaded.fileNumber = series.info->entry.fileNumber();
  }
  formats::FreeSeries(series);
  return loaded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput in(data, size);
  maintenance::QuoteChange change;
  change.operation = static_cast<std::int16_t>(in.U8() % 6);
  change.firstDate = in.U16();
  change.lastDate = in.U16();
  for (float& value : change.values)
    value = in.F32();
  const std::string symbol(in.Take(in.U8() % 32));
  testing::MemoryFileSystem fs;
  fuzz::UnpackArchive(in, fs);
  platform::ScopedFileSystem installed(fs);

  const Loaded before = Facts(symbol);
  if (before.status != formats::kOk)
    return 0;
  const formats::Path dat = formats::QuoteDataPath(before.path, before.fileNumber);
  const auto oldBytes = fs.Contents(dat);
  if (!oldBytes)
    return 0;

  maintenance::SilentPrompt prompt;
  const formats::StatusCode status =
      maintenance::ApplyQuoteChange(change, fuzz::kFuzzRoot, symbol, prompt);
  if (status != formats::kOk) {
    // A change that failed left the quote file as it was.
    LEDGRIX_FUZZ_CHECK(fs.Contents(dat) == oldBytes);
    return 0;
  }
  const Loaded after = Facts(symbol);
  LEDGRIX_FUZZ_CHECK(after.status == formats::kOk);
  LEDGRIX_FUZZ_CHECK(after.path == before.path && after.fileNumber == before.fileNumber);
  // The backup holds the file as it was.
  LEDGRIX_FUZZ_CHECK(fs.Contents(formats::QuoteFilePath(before.path, before.fileNumber, "BAK")) ==
                     oldBytes);
  switch (change.operation) {
    case maintenance::kDelete:
      LEDGRIX_FUZZ_CHECK(after.total == before.total - 1);
      break;
    case maintenance::kInsert:
      LEDGRIX_FUZZ_CHECK(after.total >= before.total);
      break;
    default:
      LEDGRIX_FUZZ_CHECK(after.total == before.total);
      LEDGRIX_FUZZ_CHECK(fs.Contents(dat)->size() <= oldBytes->size());
      break;
  }
  // Every quote of the new file loads.
  formats::QuoteSeries series;
  if (formats::InitSeries(series, 400) == formats::kOk) {
    const formats::StatusCode reload = formats::LoadSeries(series, fuzz::kFuzzRoot, symbol, 0, 400);
    LEDGRIX_FUZZ_CHECK(reload == formats::kOk || (reload == formats::kRecordNotFound));
    formats::FreeSeries(series);
  }
  return 0;
}
