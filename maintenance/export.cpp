// Export of one symbol's quotes to delimited text, read in windows of 400 quotes.
#include "maintenance/export.h"

#include <algorithm>
#include <string>

#include "formats/cell_text.h"
#include "formats/dates.h"
#include "formats/series.h"

namespace ledgrix::maintenance {

namespace {

constexpr std::int32_t kExportWindow = 400;
constexpr std::array<const char*, 6> kColumnTitles = {"OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"};

std::string QuoteLine(const formats::QuoteSeries& series, int k, const ExportOptions& options,
                      char delimiter) {
  std::string line = formats::DisplayDate(series.date[static_cast<std::size_t>(k)]);
  for (std::size_t c = 0; c < options.omit.size(); ++c) {
    if (options.omit[c])
      continue;
    const float value = series.values[c][static_cast<std::size_t>(k)];
    line += delimiter;
    // OPEN..CLOSE with four decimals, VOL and OI with two.
    line += c < 4 ? formats::PriceText(value) : formats::ExportVolumeText(value);
  }
  line += "\r\n";
  return line;
}

}  // namespace

char ExportDelimiter(int delimiter) {
  switch (delimiter) {
    case 1:
      return ',';
    case 2:
      return '\t';
    default:
      return ' ';
  }
}

std::string ExportTitleLine(const ExportOptions& options) {
  const char delimiter = ExportDelimiter(options.delimiter);
  std::string line = "DATE";
  for (std::size_t c = 0; c < kColumnTitles.size(); ++c) {
    if (options.omit[c])
      continue;
    line += delimiter;
    line += kColumnTitles[c];
  }
  return line;
}

formats::StatusCode ExportQuotes(const std::filesystem::path& dir, std::string_view symbol,
                                 const ExportOptions& options, std::ostream& out) {
  const char delimiter = ExportDelimiter(options.delimiter);
  if (options.title)
    out << ExportTitleLine(options) << "\r\n";

  // One lookup; every window is then a read of the open quote file.
  formats::SeriesReader reader;
  formats::QuoteSeries series;
  formats::StatusCode status = formats::InitSeries(series, 1);
  if (status != formats::kOk)
    return status;
  status = reader.Open(dir, symbol);
  if (status == formats::kOk)
    status = reader.Load(series, 0, 0);
  const std::int32_t total = series.total;
  formats::FreeSeries(series);
  if (status != formats::kOk)
    return status;

  status = formats::InitSeries(series, kExportWindow);
  if (status != formats::kOk)
    return status;

  // Windows in the order of the lines: from the oldest up, or from the newest down.
  std::int32_t done = 0;
  while (done < total) {
    const std::int32_t chunk = std::min(kExportWindow, total - done);
    const std::int32_t start = options.newestFirst ? total - done - chunk : done;
    status = reader.Load(series, start, chunk);
    if (status == formats::kOk && series.count != chunk)
      status = formats::kFileRead;
    if (status != formats::kOk)
      break;  // the lines written so far stay
    if (options.newestFirst) {
      for (int k = chunk - 1; k >= 0; --k)
        out << QuoteLine(series, k, options, delimiter);
    } else {
      for (int k = 0; k < chunk; ++k)
        out << QuoteLine(series, k, options, delimiter);
    }
    done += chunk;
  }
  formats::FreeSeries(series);
  if (status == formats::kOk && !out)
    status = formats::kFileWrite;
  return status;
}

}  // namespace ledgrix::maintenance
