// Export of a whole portfolio: each symbol opened once and read in large windows, the lines
// formatted straight into one buffer (the same texts as the one-symbol export gives).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "formats/portfolio_index.h"
#include "formats/series.h"
#include "maintenance/export.h"

namespace ledgrix::maintenance {

namespace {

constexpr std::int32_t kWindow = 8192;
constexpr std::size_t kFlushSize = 1 << 16;

// "%.4f" or "%.2f" as printf gives it, or "N/A" for a field the file does not hold.
void AppendValue(std::string& line, float value, int decimals) {
  if (std::isnan(value) || value < 0) {
    line += "N/A";
    return;
  }
  char buffer[64];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  line.append(buffer, ec == std::errc() ? end : buffer);
}

void AppendTwoDigits(std::string& line, int n) {
  line += static_cast<char>('0' + n / 10 % 10);
  line += static_cast<char>('0' + n % 10);
}

// One symbol's lines appended to buffer (flushed to out as it fills). False with the status
// when the symbol cannot be read; its lines are then taken back.
formats::StatusCode AppendSymbol(const std::filesystem::path& dir, const formats::IndexEntry& entry,
                                 const ExportOptions& options, std::string& buffer,
                                 std::ostream& out) {
  formats::SeriesReader reader;
  formats::StatusCode status = reader.Open(dir, entry);
  formats::QuoteSeries series;
  if (status == formats::kOk)
    status = formats::InitSeries(series, kWindow);
  if (status == formats::kOk)
    status = reader.Load(series, 0, 0);
  if (status != formats::kOk)
    return status;
  const std::int32_t total = series.total;
  // A record without a symbol is named as the symbols grid names it.
  const std::string& label = entry.symbol.empty() ? entry.shownName() : entry.symbol;
  const char delimiter = ExportDelimiter(options.delimiter);
  // A symbol's lines stay in the buffer until all are read, so a failed read takes them back.
  const std::size_t mark = buffer.size();
  for (std::int32_t done = 0; done < total;) {
    const std::int32_t chunk = std::min(kWindow, total - done);
    const std::int32_t start = options.newestFirst ? total - done - chunk : done;
    status = reader.Load(series, start, chunk);
    if (status == formats::kOk && series.count != chunk)
      status = formats::kFileRead;
    if (status != formats::kOk) {
      buffer.resize(mark);
      return status;
    }
    for (std::int32_t i = 0; i < chunk; ++i) {
      const auto k = static_cast<std::size_t>(options.newestFirst ? chunk - 1 - i : i);
      buffer += label;
      buffer += delimiter;
      const formats::Ymd ymd = formats::YmdFromDay(series.date[k]);
      AppendTwoDigits(buffer, ymd.month);
      buffer += '/';
      AppendTwoDigits(buffer, ymd.day);
      buffer += '/';
      AppendTwoDigits(buffer, ymd.year % 100);
      for (std::size_t c = 0; c < options.omit.size(); ++c) {
        if (options.omit[c])
          continue;
        buffer += delimiter;
        AppendValue(buffer, series.values[c][k], c < 4 ? 4 : 2);
      }
      buffer += "\r\n";
    }
    done += chunk;
  }
  formats::FreeSeries(series);
  if (buffer.size() >= kFlushSize) {
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    buffer.clear();
  }
  return formats::kOk;
}

}  // namespace

formats::StatusCode ExportPortfolio(const std::filesystem::path& dir, const ExportOptions& options,
                                    std::ostream& out, std::vector<UnreadableSymbol>& unreadable) {
  formats::PortfolioIndex index;
  if (!formats::ReadPortfolioIndex(dir, index))
    return formats::kFileNotFound;
  std::string buffer;
  if (options.title) {
    buffer = "SYMBOL";
    buffer += ExportDelimiter(options.delimiter);
    buffer += ExportTitleLine(options) + "\r\n";
  }
  for (const formats::IndexEntry& entry : index.entries) {
    if (entry.isDirectory)
      continue;
    if (const formats::StatusCode status = AppendSymbol(dir, entry, options, buffer, out);
        status != formats::kOk)
      unreadable.push_back({entry.symbol, status});
  }
  out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
  out.flush();
  return out ? formats::kOk : formats::kFileWrite;
}

}  // namespace ledgrix::maintenance
