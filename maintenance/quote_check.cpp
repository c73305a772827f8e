// One quote file of the check: its size against its header, its dates, its prices and its
// closes, all from the bytes read once.
#include "maintenance/quote_check.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

#include "formats/le_bytes.h"
#include "formats/mbf.h"
#include "formats/series.h"
#include "maintenance/split_search.h"

namespace ledgrix::maintenance::check {

using formats::FieldName;

QuoteRecords::QuoteRecords(std::span<const std::uint8_t> bytes, int recordLength,
                           const formats::FieldLayout& layout)
    : data_(bytes.data()), length_(static_cast<std::size_t>(recordLength)) {
  for (int f = 0; f < formats::kFieldNameCount; ++f)
    offset_[static_cast<std::size_t>(f)] =
        4 * layout.fieldPosition[static_cast<std::size_t>(f)] - 4;
  if (length_ == 0 || bytes.size() < length_)
    return;
  count_ = bytes.size() / length_ - 1;
  trailing_ = bytes.size() % length_;
}

float QuoteRecords::value(std::size_t k, FieldName f) const {
  return has(f) ? formats::DecodeMbf(record(k) + offset_[f]) : -1.0f;
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

bool LayoutOf(const formats::IndexEntry& entry, const std::span<const std::uint8_t>* dop,
              std::span<const std::uint8_t> quotes, formats::FieldLayout& layout) {
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

// Above every finite float: a value below it is not infinite.
constexpr float kHuge = std::numeric_limits<float>::infinity();

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

void CheckStructure(const QuoteRecords& records, std::span<const std::uint8_t> bytes,
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

// Dates out of order and stored twice, from every quote's key (0: a bad date, reported in the
// pass) and the quotes dated before the one in front of them.
// Dates out of order and stored twice. early: the quotes dated before the one in front of them;
// twins: pairs of neighbours dated alike, all there are when nothing is early.
void CheckDates(const QuoteRecords& records, const std::vector<std::size_t>& early,
                std::vector<std::pair<std::size_t, std::size_t>> twins, bool badDates,
                FileFindings& found) {
  // A bad date leaves nothing to sort by.
  for (std::size_t k : early)
    found.Add(FindingKind::kDatesNotAscending,
              "stored after " + found.Where(k - 1) + " (quote " + std::to_string(k + 1) + ")",
              !badDates, false, k);
  if (!early.empty()) {
    // Out of order, quotes of one date can be anywhere: they meet once sorted.
    const std::size_t n = records.count();
    std::vector<std::uint32_t> keys(n);
    std::vector<std::size_t> order(n);
    for (std::size_t k = 0; k < n; ++k)
      keys[k] = records.key(k), order[k] = k;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    twins.clear();
    for (std::size_t i = 1; i < n; ++i) {
      if (keys[order[i]] != 0 && keys[order[i - 1]] == keys[order[i]])
        twins.emplace_back(order[i - 1], order[i]);
    }
  }
  for (const auto& [a, b] : twins) {
    const bool exact =
        std::equal(records.record(a), records.record(a) + records.length(), records.record(b));
    found.Add(FindingKind::kDuplicateDate,
              exact ? "stored twice, the same values both times"
                    : "stored twice with different values (quotes " + std::to_string(a + 1) +
                          " and " + std::to_string(b + 1) + ")",
              exact, false, b);
  }
}

void CheckIndexDates(const formats::IndexEntry& entry, formats::QuoteDate first,
                     formats::QuoteDate last, FileFindings& found) {
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

// What is wrong with quote k's values, one finding a kind.
void ReportValues(const QuoteRecords& records, std::size_t k, bool range, FileFindings& found) {
  static constexpr std::array<FieldName, 4> kPrices = {formats::kOpen, formats::kHigh,
                                                       formats::kLow, formats::kClose};
  std::string bad;
  for (FieldName f : kPrices) {
    const float v = records.value(k, f);
    if (records.has(f) && !IsPrice(v))
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
  if (!range)
    return;
  const float high = records.value(k, formats::kHigh);
  const float low = records.value(k, formats::kLow);
  if (high < low) {
    found.Add(FindingKind::kHighBelowLow, "HIGH " + Number(high) + " below LOW " + Number(low),
              false, false, k);
    return;
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

// Whether close k leaves both neighbours by more than the threshold on the same side, and
// neither of its two steps is a split candidate of the split search.
bool IsBadTick(const QuoteRecords& records, std::size_t k, double up, double down) {
  const float before = records.value(k - 1, formats::kClose);
  const float close = records.value(k, formats::kClose);
  const float after = records.value(k + 1, formats::kClose);
  const double b = before, c = close, a = after;
  if (!((c > b * up && c > a * up) || (c < b * down && c < a * down)) || !IsPrice(before) ||
      !IsPrice(close) || !IsPrice(after))
    return false;
  const bool range = records.has(formats::kHigh) && records.has(formats::kLow);
  const auto split = [&](std::size_t x, std::size_t y, float cx, float cy) {
    const float lx = range ? records.value(x, formats::kLow) : cx;
    const float hx = range ? records.value(x, formats::kHigh) : cx;
    const float ly = range ? records.value(y, formats::kLow) : cy;
    const float hy = range ? records.value(y, formats::kHigh) : cy;
    return SplitCandidateRatio(cx, cy, lx, hx, ly, hy).first != 0;
  };
  return !split(k - 1, k, before, close) && !split(k, k + 1, close, after);
}

// A field's value in a record, or the value given when the records lack it.
inline float Field(const std::uint8_t* record, int offset, float absent) {
  return offset < 0 ? absent : formats::DecodeMbf(record + offset);
}

}  // namespace

void CheckQuoteFile(const formats::IndexEntry& entry, const std::string& where,
                    const std::string& fileName, const formats::FieldLayout& layout,
                    std::span<const std::uint8_t> bytes, const CheckOptions& options,
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

  // One pass over the records: dates, values and closes decoded once each; the texts of
  // findings decode again, for the few quotes that have one.
  const std::size_t n = records.count();
  const int date = records.offset(formats::kDate), time = records.offset(formats::kTime);
  const int open = records.offset(formats::kOpen), high = records.offset(formats::kHigh);
  const int low = records.offset(formats::kLow), close = records.offset(formats::kClose);
  const int vol = records.offset(formats::kVol), oi = records.offset(formats::kOi);
  const bool range = high >= 0 && low >= 0;
  const double up = 1.0 + options.tickThreshold, down = 1.0 - options.tickThreshold;
  // A cheap test in float, a little wider than the threshold; IsBadTick decides in double.
  const float upF = static_cast<float>(up) * 0.999f, downF = static_cast<float>(down) * 1.001f;
  std::vector<std::size_t> early;  // quotes dated before the one in front of them
  std::vector<std::pair<std::size_t, std::size_t>> twins;
  std::size_t previousQuote = 0;
  bool badDates = false;
  std::uint32_t previous = 0;
  formats::QuoteDate first = 0, last = 0;
  float closes[3] = {0, 0, 0};  // quotes k - 2, k - 1, k
  formats::StoredDateDecoder dayOf;
  for (std::size_t k = 0; k < n; ++k) {
    const std::uint8_t* record = records.record(k);
    const formats::QuoteDate day = dayOf(Field(record, date, -1.0f));
    if (day == 0) {
      badDates = true;
      found.Add(FindingKind::kBadDate,
                "date " + Number(Field(record, date, -1.0f)) + " cannot be represented", false,
                false, k);
    } else {
      const formats::QuoteTime t =
          time < 0 ? 0 : formats::TimeFromStored(formats::DecodeMbf(record + time));
      const std::uint32_t key = (static_cast<std::uint32_t>(day) << 16) | t;
      if (key < previous)
        early.push_back(k);
      else if (key == previous)
        twins.emplace_back(previousQuote, k);
      previous = key;
      previousQuote = k;
      first = first == 0 ? day : std::min(first, day);
      last = std::max(last, day);
    }

    // A sound quote passes one chain of comparisons; ReportValues looks closer at the others.
    // Absent fields stand in as values that pass; NaN fails every comparison.
    const float l = Field(record, low, std::numeric_limits<float>::min());
    const float h = Field(record, high, std::numeric_limits<float>::max());
    const float o = Field(record, open, l), c = Field(record, close, l);
    const float v = Field(record, vol, 0.0f), i = Field(record, oi, 0.0f);
    const bool fine = (l > 0.0f) & (h < kHuge) & (l <= o) & (o <= h) & (l <= c) & (c <= h) &
                      (v >= 0.0f) & (v < kHuge) & (i >= 0.0f) & (i < kHuge);
    if (!fine)
      ReportValues(records, k, range, found);

    closes[0] = closes[1], closes[1] = closes[2], closes[2] = c;
    if (close >= 0 && k >= 2) {
      const float b = closes[0], m = closes[1], a = closes[2];
      if (((m > b * upF && m > a * upF) || (m < b * downF && m < a * downF)) &&
          IsBadTick(records, k - 1, up, down))
        found.Add(FindingKind::kBadTick,
                  "CLOSE " + Number(closes[1]) + " between " + Number(closes[0]) + " and " +
                      Number(closes[2]),
                  false, false, k - 1);
    }
  }
  CheckDates(records, early, std::move(twins), badDates, found);
  CheckIndexDates(entry, first, last, found);
}

}  // namespace ledgrix::maintenance::check
