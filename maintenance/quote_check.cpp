// One quote file of the check: its size against its header, its dates, its prices and its
// closes, all from the bytes read once.
#include "maintenance/quote_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "formats/le_bytes.h"
#include "formats/mbf.h"
#include "formats/series.h"
#include "maintenance/split_search.h"

namespace ledgrix::maintenance::check {

using formats::FieldName;

QuoteRecords::QuoteRecords(const std::vector<std::uint8_t>& bytes, int recordLength,
                           const formats::FieldLayout& layout)
    : data_(bytes.data()), length_(static_cast<std::size_t>(recordLength)), layout_(layout) {
  if (length_ == 0 || bytes.size() < length_)
    return;
  count_ = bytes.size() / length_ - 1;
  trailing_ = bytes.size() % length_;
}

float QuoteRecords::value(std::size_t k, FieldName f) const {
  const int position = layout_.fieldPosition[f];
  return position == 0 ? -1.0f : formats::DecodeMbf(record(k) + 4 * (position - 1));
}

formats::QuoteDate QuoteRecords::day(std::size_t k) const {
  return has(formats::kDate) ? formats::DayFromStored(value(k, formats::kDate)) : 0;
}

formats::QuoteTime QuoteRecords::time(std::size_t k) const {
  return has(formats::kTime) ? formats::TimeFromStored(value(k, formats::kTime)) : 0;
}

std::uint32_t QuoteRecords::key(std::size_t k) const {
  const formats::QuoteDate d = day(k);
  return d == 0 ? 0u : (static_cast<std::uint32_t>(d) << 16) | time(k);
}

bool LayoutOf(const formats::IndexEntry& entry, const std::vector<std::uint8_t>* dop,
              const std::vector<std::uint8_t>& quotes, formats::FieldLayout& layout) {
  if (!formats::IsUsableRecordLength(entry.recordLength))
    return false;
  // Only XMASTER's bitset tells the fields; MASTER symbols keep the synthetic layouts.
  if (formats::FieldLayoutFromBytes(dop, quotes, entry.recordLength, layout, entry.periodicity,
                                    entry.inXmaster() ? entry.fieldBits : 0) != formats::kOk)
    return false;
  for (auto& position : layout.fieldPosition) {
    if (position < 0 || position > entry.recordLength / 4)
      position = 0;
  }
  return layout.has(formats::kDate);
}

std::pair<formats::QuoteDate, formats::QuoteDate> DateSpan(const QuoteRecords& records) {
  formats::QuoteDate first = 0, last = 0;
  for (std::size_t k = 0; k < records.count(); ++k) {
    const formats::QuoteDate d = records.day(k);
    if (d == 0)
      continue;
    if (first == 0 || d < first)
      first = d;
    last = std::max(last, d);
  }
  return {first, last};
}

namespace {

std::string Printf(const char* format, auto... args) {
  const int size = std::snprintf(nullptr, 0, format, args...);
  std::string text(static_cast<std::size_t>(std::max(size, 0)) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, args...);
  text.resize(text.size() - 1);
  return text;
}

std::string Number(float v) {
  return Printf("%.7g", static_cast<double>(v));
}

bool IsPrice(float v) {
  return std::isfinite(v) && v > 0.0f;
}

// Collects the findings of one file, at most options.perFileLimit of a kind; the rest are summed
// up in one finding at the end.
class FileFindings {
 public:
  FileFindings(const formats::IndexEntry& entry, std::string where, const QuoteRecords& records,
               const CheckOptions& options, std::vector<Finding>& out)
      : entry_(entry), where_(std::move(where)), records_(records), options_(options), out_(out) {}
  ~FileFindings() {
    for (int kind = 0; kind < kFindingKindCount; ++kind) {
      const int more = counts_[static_cast<std::size_t>(kind)] - options_.perFileLimit;
      if (more > 0)
        Add(static_cast<FindingKind>(kind), Printf("%d more like these", more), false, true);
    }
  }

  // detail: of quote k (its date and time put in front), or of the file when k is npos.
  void Add(FindingKind kind, std::string detail, bool fixable, bool summary = false,
           std::size_t k = std::string::npos) {
    Finding f;
    if (!summary && ++counts_[static_cast<std::size_t>(kind)] > options_.perFileLimit)
      return;
    if (k != std::string::npos) {
      f.date = records_.day(k);
      f.time = records_.time(k);
      detail = Where(k) + ": " + detail;
    }
    f.where = where_;
    f.kind = kind;
    f.detail = std::move(detail);
    f.key = entry_.key;
    f.fixable = fixable;
    out_.push_back(std::move(f));
  }

  // "01/05/99", "01/05/99 09:30:00" (intraday), or "quote 12" for a bad date.
  std::string Where(std::size_t k) const {
    const formats::QuoteDate d = records_.day(k);
    if (d == 0)
      return Printf("quote %zu", k + 1);
    std::string text = formats::DisplayDate(d);
    if (records_.has(formats::kTime)) {
      const formats::Hms t = formats::HmsFromTime(records_.time(k));
      text += Printf(" %02d:%02d:%02d", t.hours, t.minutes, t.seconds);
    }
    return text;
  }

 private:
  const formats::IndexEntry& entry_;
  std::string where_;
  const QuoteRecords& records_;
  const CheckOptions& options_;
  std::vector<Finding>& out_;
  std::array<int, kFindingKindCount> counts_{};
};

void CheckStructure(const QuoteRecords& records, const std::vector<std::uint8_t>& bytes,
                    const std::string& fileName, FileFindings& found) {
  if (records.trailing() != 0)
    found.Add(FindingKind::kPartialRecord,
              Printf("%s ends %zu byte(s) into a record after quote %zu", fileName.c_str(),
                     records.trailing(), records.count()),
              true);
  const int header = formats::le::U16(bytes.data() + 2) - 1;
  if (header != static_cast<int>(records.count()))
    found.Add(FindingKind::kCountMismatch,
              Printf("the header of %s counts %d quote(s), the file holds %zu", fileName.c_str(),
                     std::max(header, 0), records.count()),
              records.count() <= static_cast<std::size_t>(formats::kMaxQuotes));
}

void CheckDates(const QuoteRecords& records, FileFindings& found) {
  const std::size_t n = records.count();
  std::vector<std::uint32_t> keys(n);
  bool badDates = false;
  std::vector<std::size_t> early;  // quotes dated before the one in front of them
  std::uint32_t previous = 0;
  for (std::size_t k = 0; k < n; ++k) {
    keys[k] = records.key(k);
    if (keys[k] == 0) {
      badDates = true;
      found.Add(FindingKind::kBadDate,
                "date " + Number(records.value(k, formats::kDate)) + " cannot be represented",
                false, false, k);
      continue;
    }
    if (keys[k] < previous)
      early.push_back(k);
    previous = keys[k];
  }
  const bool ascending = early.empty();
  // A bad date leaves nothing to sort by.
  for (std::size_t k : early)
    found.Add(FindingKind::kDatesNotAscending,
              "stored after " + found.Where(k - 1) + " (quote " + std::to_string(k + 1) + ")",
              !badDates, false, k);

  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (!ascending)
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  for (std::size_t i = 1; i < n; ++i) {
    const std::size_t a = order[i - 1], b = order[i];
    if (keys[a] == 0 || keys[a] != keys[b])
      continue;
    const bool exact =
        std::equal(records.record(a), records.record(a) + records.length(), records.record(b));
    found.Add(FindingKind::kDuplicateDate,
              exact ? "stored twice, the same values both times"
                    : "stored twice with different values (quotes " + std::to_string(a + 1) +
                          " and " + std::to_string(b + 1) + ")",
              exact, false, b);
  }
}

void CheckIndexDates(const formats::IndexEntry& entry, const QuoteRecords& records,
                     FileFindings& found) {
  const auto [first, last] = DateSpan(records);
  if (first == 0)
    return;
  const auto indexDay = [](std::int32_t stored) {
    return stored == 0 ? formats::QuoteDate{0} : formats::DayFromStored(static_cast<float>(stored));
  };
  const auto text = [](formats::QuoteDate d) {
    return d == 0 ? std::string("no date") : formats::DisplayDate(d);
  };
  const char* index = formats::IndexFileName(entry.key.file);
  const formats::QuoteDate indexFirst = indexDay(entry.firstDate);
  const formats::QuoteDate indexLast = indexDay(entry.lastDate);
  if (indexFirst != first)
    found.Add(FindingKind::kIndexFirstDate,
              Printf("%s says %s, the quotes start %s", index, text(indexFirst).c_str(),
                     text(first).c_str()),
              true);
  if (indexLast != last)
    found.Add(
        FindingKind::kIndexLastDate,
        Printf("%s says %s, the quotes end %s", index, text(indexLast).c_str(), text(last).c_str()),
        true);
}

void CheckValues(const QuoteRecords& records, FileFindings& found) {
  static constexpr std::array<FieldName, 4> kPrices = {formats::kOpen, formats::kHigh,
                                                       formats::kLow, formats::kClose};
  for (std::size_t k = 0; k < records.count(); ++k) {
    std::string bad;
    for (FieldName f : kPrices) {
      if (!records.has(f))
        continue;
      const float v = records.value(k, f);
      if (!IsPrice(v))
        bad += (bad.empty() ? "" : ", ") + std::string(formats::kFieldNames[f]) + " " + Number(v);
    }
    if (!bad.empty())
      found.Add(FindingKind::kBadPrice, bad, false, false, k);
    for (FieldName f : {formats::kVol, formats::kOi}) {
      const float v = records.value(k, f);
      if (records.has(f) && !(std::isfinite(v) && v >= 0.0f))
        found.Add(FindingKind::kNegativeVolume,
                  std::string(formats::kFieldNames[f]) + " " + Number(v), false, false, k);
    }
    if (!records.has(formats::kHigh) || !records.has(formats::kLow))
      continue;
    const float high = records.value(k, formats::kHigh);
    const float low = records.value(k, formats::kLow);
    if (high < low) {
      found.Add(FindingKind::kHighBelowLow, "HIGH " + Number(high) + " below LOW " + Number(low),
                false, false, k);
      continue;
    }
    std::string outside;
    for (FieldName f : {formats::kOpen, formats::kClose}) {
      const float v = records.value(k, f);
      // A price of 0 or less is reported as such already.
      if (records.has(f) && IsPrice(v) && (v < low || v > high))
        outside +=
            (outside.empty() ? "" : ", ") + std::string(formats::kFieldNames[f]) + " " + Number(v);
    }
    if (!outside.empty())
      found.Add(FindingKind::kOutsideRange,
                outside + " outside " + Number(low) + " - " + Number(high), false, false, k);
  }
}

void CheckTicks(const QuoteRecords& records, double threshold, FileFindings& found) {
  if (!records.has(formats::kClose) || records.count() < 3)
    return;
  const bool range = records.has(formats::kHigh) && records.has(formats::kLow);
  const auto split = [&](std::size_t a, std::size_t b, float ca, float cb) {
    const float la = range ? records.value(a, formats::kLow) : ca;
    const float ha = range ? records.value(a, formats::kHigh) : ca;
    const float lb = range ? records.value(b, formats::kLow) : cb;
    const float hb = range ? records.value(b, formats::kHigh) : cb;
    return SplitCandidateRatio(ca, cb, la, ha, lb, hb).first != 0;
  };
  float before = records.value(0, formats::kClose);
  float close = records.value(1, formats::kClose);
  for (std::size_t k = 1; k + 1 < records.count(); ++k) {
    const float after = records.value(k + 1, formats::kClose);
    if (IsPrice(before) && IsPrice(close) && IsPrice(after)) {
      const double c = close, b = before, a = after;
      const bool up = c > b * (1.0 + threshold) && c > a * (1.0 + threshold);
      const bool down = c < b * (1.0 - threshold) && c < a * (1.0 - threshold);
      if ((up || down) && !split(k - 1, k, before, close) && !split(k, k + 1, close, after))
        found.Add(FindingKind::kBadTick,
                  "CLOSE " + Number(close) + " between " + Number(before) + " and " + Number(after),
                  false, false, k);
    }
    before = close;
    close = after;
  }
}

}  // namespace

void CheckQuoteFile(const formats::IndexEntry& entry, const std::string& where,
                    const std::string& fileName, const formats::FieldLayout& layout,
                    const std::vector<std::uint8_t>& bytes, const CheckOptions& options,
                    std::vector<Finding>& out) {
  const QuoteRecords records(bytes, entry.recordLength, layout);
  FileFindings found(entry, where, records, options, out);
  if (bytes.size() < static_cast<std::size_t>(entry.recordLength)) {
    found.Add(FindingKind::kQuoteFileUnusable,
              Printf("%s holds %zu byte(s), less than its %d-byte header record", fileName.c_str(),
                     bytes.size(), entry.recordLength),
              false);
    return;
  }
  CheckStructure(records, bytes, fileName, found);
  CheckDates(records, found);
  CheckIndexDates(entry, records, found);
  CheckValues(records, found);
  CheckTicks(records, options.tickThreshold, found);
}

}  // namespace ledgrix::maintenance::check
