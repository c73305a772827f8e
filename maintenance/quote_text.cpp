// ReadQuoteText: one pass over the lines with cells as views into the text, numbers through
// from_chars; sorting and the duplicate test at the end.
#include "maintenance/quote_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "formats/series.h"

namespace ledgrix::maintenance {

using formats::FieldName;

namespace {

constexpr int kNoColumn = -1;
constexpr float kNotAvailable = std::numeric_limits<float>::quiet_NaN();

std::string Lower(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '<' || c == '>' || c == ' ' || c == '_' || c == '.' || c == '"')
      continue;
    out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
  }
  return out;
}

std::optional<FieldName> FieldOfTitle(std::string_view title) {
  static constexpr std::pair<std::string_view, FieldName> kTitles[] = {
      {"date", formats::kDate},  {"time", formats::kTime},       {"open", formats::kOpen},
      {"high", formats::kHigh},  {"low", formats::kLow},         {"close", formats::kClose},
      {"vol", formats::kVol},    {"volume", formats::kVol},      {"oi", formats::kOi},
      {"openint", formats::kOi}, {"openinterest", formats::kOi},
  };
  const std::string key = Lower(title);
  for (const auto& [name, field] : kTitles) {
    if (key == name)
      return field;
  }
  return std::nullopt;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Digits only, as a number; -1 when empty or not all digits.
int Digits(std::string_view s) {
  if (s.empty() || s.size() > 8)
    return -1;
  int n = 0;
  for (char c : s) {
    if (!IsDigit(c))
      return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

formats::QuoteDate DayOf(int year, int month, int day) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1] ||
      (month == 2 && day == 29 && !IsLeap(year)) || year <= 1900)
    return 0;
  return formats::DayFromYmd(year, month, day);
}

// YYYY-MM-DD, YYYYMMDD, MM/DD/YY, MM/DD/YYYY; 0 when none of them.
formats::QuoteDate ParseTextDate(std::string_view s) {
  if (s.size() == 8 && s.find_first_not_of("0123456789") == std::string_view::npos) {
    const int n = Digits(s);
    return DayOf(n / 10000, n / 100 % 100, n % 100);
  }
  if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
    const int y = Digits(s.substr(0, 4)), m = Digits(s.substr(5, 2)), d = Digits(s.substr(8, 2));
    return y < 0 || m < 0 || d < 0 ? 0 : DayOf(y, m, d);
  }
  const std::size_t a = s.find('/');
  const std::size_t b = a == std::string_view::npos ? a : s.find('/', a + 1);
  if (b == std::string_view::npos)
    return 0;
  const std::string_view ys = s.substr(b + 1);
  const int m = Digits(s.substr(0, a)), d = Digits(s.substr(a + 1, b - a - 1)), y = Digits(ys);
  if (m < 0 || d < 0 || y < 0 || (ys.size() != 2 && ys.size() != 4))
    return 0;
  // Two-digit years follow the stored dates: 61-99 the 1900s, the rest the 2000s.
  return DayOf(ys.size() == 4 ? y : (y < 61 ? 2000 + y : 1900 + y), m, d);
}

// HH:MM, HH:MM:SS, HHMM or HHMMSS; -1 when none of them.
int ParseTextTime(std::string_view s) {
  int h = -1, m = -1, sec = 0;
  if (s.find(':') != std::string_view::npos) {
    const std::size_t a = s.find(':');
    const std::size_t b = s.find(':', a + 1);
    h = Digits(s.substr(0, a));
    m = Digits(s.substr(a + 1, b == std::string_view::npos ? std::string_view::npos : b - a - 1));
    if (b != std::string_view::npos)
      sec = Digits(s.substr(b + 1));
    if (a > 2 || a == 0 || s.size() - a - 1 < 2)
      return -1;
  } else if (s.size() >= 3 && s.size() <= 6) {
    const int n = Digits(s);
    if (n < 0)
      return -1;
    const bool withSeconds = s.size() > 4;
    h = withSeconds ? n / 10000 : n / 100;
    m = withSeconds ? n / 100 % 100 : n % 100;
    sec = withSeconds ? n % 100 : 0;
  }
  if (h < 0 || h > 23 || m < 0 || m > 59 || sec < 0 || sec > 59)
    return -1;
  return h * 10000 + m * 100 + sec;
}

// The common short decimals ("12.3456", "1500") exactly: a whole number below 2^24 and a power of
// ten up to 10^10 are both exact floats, so one division rounds the value correctly. False for
// anything else, which from_chars then reads.
bool ShortDecimal(std::string_view s, char point, float& out) {
  static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                      1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
  const bool negative = !s.empty() && s.front() == '-';
  if (negative)
    s.remove_prefix(1);
  std::uint32_t mantissa = 0;
  int decimals = -1;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      mantissa = mantissa * 10 + static_cast<std::uint32_t>(c - '0');
      if (mantissa >= (1u << 24))
        return false;
      if (decimals >= 0 && ++decimals > 10)
        return false;
    } else if (c == point && decimals < 0) {
      decimals = 0;
    } else {
      return false;
    }
  }
  if (s.empty() || s.size() == (decimals >= 0 ? 1u : 0u))
    return false;
  const float value = static_cast<float>(mantissa) / kPowers[decimals < 0 ? 0 : decimals];
  out = negative ? -value : value;
  return true;
}

// A number cell into out (NaN for "N/A"); false when unreadable.
bool ParseNumber(std::string_view s, bool decimalComma, float& out) {
  if (s == "N/A" || s == "n/a") {
    out = kNotAvailable;
    return true;
  }
  if (!s.empty() && s.front() == '+')
    s.remove_prefix(1);
  if (ShortDecimal(s, decimalComma ? ',' : '.', out))
    return true;
  char buffer[64];
  if (decimalComma && s.find(',') != std::string_view::npos && s.size() < sizeof buffer) {
    std::copy(s.begin(), s.end(), buffer);
    std::replace(buffer, buffer + s.size(), ',', '.');
    s = std::string_view(buffer, s.size());
  }
  float value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || s.empty() || !std::isfinite(value))
    return false;
  out = value;
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
    s = s.substr(1, s.size() - 2);
  return s;
}

void SplitCells(std::string_view line, char delimiter, std::vector<std::string_view>& cells) {
  cells.clear();
  if (delimiter == ' ') {
    std::size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
      const std::size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t')
        ++i;
      if (i > start)
        cells.push_back(Trim(line.substr(start, i - start)));
    }
    return;
  }
  // A plain loop: cells are a few bytes long, shorter than a memchr call pays for.
  const char* p = line.data();
  const char* const end = p + line.size();
  const char* start = p;
  for (; p != end; ++p) {
    if (*p == delimiter) {
      cells.push_back(Trim(std::string_view(start, static_cast<std::size_t>(p - start))));
      start = p + 1;
    }
  }
  cells.push_back(Trim(std::string_view(start, static_cast<std::size_t>(end - start))));
}

char DelimiterOf(std::string_view line) {
  for (char c : {'\t', ';', ','}) {
    if (line.find(c) != std::string_view::npos)
      return c;
  }
  return ' ';
}

std::string_view FieldTitle(int field) {
  return formats::kFieldNames[static_cast<std::size_t>(field)];
}

// Collects problems, listing the first kMaxListedProblems.
class Problems {
 public:
  explicit Problems(std::vector<TextProblem>& list) : list_(list) {}
  void Add(std::size_t line, std::string reason) {
    if (list_.size() < kMaxListedProblems)
      list_.push_back({line, std::move(reason)});
    else
      ++unlisted_;
  }
  // In the order of the lines; what concerns the whole text last.
  void Finish() {
    std::stable_sort(list_.begin(), list_.end(), [](const TextProblem& a, const TextProblem& b) {
      return (a.line == 0 ? SIZE_MAX : a.line) < (b.line == 0 ? SIZE_MAX : b.line);
    });
    if (unlisted_ > 0)
      list_.push_back({0, "and " + std::to_string(unlisted_) + " more lines that cannot be read"});
  }
  bool any() const { return !list_.empty() || unlisted_ > 0; }

 private:
  std::vector<TextProblem>& list_;
  std::size_t unlisted_ = 0;
};

// The columns of a text without a title row, from its first line: the date, a time where the
// second cell reads like one, then close; open, high, low, close; and volume, open interest.
bool ColumnsWithoutTitles(const std::vector<std::string_view>& cells, std::vector<int>& columns,
                          std::string* why) {
  const bool time = cells.size() > 1 && cells[1].find(':') != std::string_view::npos;
  const std::size_t values = cells.size() - (time ? 2 : 1);
  static constexpr FieldName kPrices[] = {formats::kOpen,  formats::kHigh, formats::kLow,
                                          formats::kClose, formats::kVol,  formats::kOi};
  columns = {formats::kDate};
  if (time)
    columns.push_back(formats::kTime);
  if (values == 1) {
    columns.push_back(formats::kClose);
  } else if (values >= 4 && values <= 6) {
    columns.insert(columns.end(), kPrices, kPrices + values);
  } else {
    *why = std::to_string(cells.size()) +
           " columns: without a title row a line holds the date, a time for intraday quotes, "
           "then the close alone or open, high, low, close, volume and open interest "
           "(the last two may be left out)";
    return false;
  }
  return true;
}

}  // namespace

std::uint8_t QuoteText::fieldBits() const {
  std::uint8_t bits = 0;
  for (int f = 0; f < formats::kFieldNameCount; ++f) {
    if (has[static_cast<std::size_t>(f)])
      bits |= formats::FieldBitOf(static_cast<FieldName>(f));
  }
  return bits;
}

bool ReadQuoteText(std::string_view text, QuoteText& out, std::vector<TextProblem>& problemList) {
  out = QuoteText{};
  Problems problems(problemList);
  if (text.substr(0, 3) == "\xEF\xBB\xBF")
    text.remove_prefix(3);

  std::vector<int> columns;  // field of each column, kNoColumn for an ignored one
  std::vector<std::string_view> cells;
  std::array<std::size_t, formats::kFieldNameCount> notAvailable{};
  std::size_t lineNumber = 0;
  std::size_t firstLine = 0;  // the line that set the columns
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.find_first_not_of(" \t\x1A") == std::string_view::npos)
      continue;

    if (columns.empty()) {
      firstLine = lineNumber;
      out.delimiter = DelimiterOf(line);
      SplitCells(line, out.delimiter, cells);
      const bool title = ParseTextDate(cells.front()) == 0 &&
                         std::any_of(cells.front().begin(), cells.front().end(),
                                     [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; });
      if (title) {
        out.titleRow = true;
        for (std::string_view cell : cells) {
          const std::optional<FieldName> field = FieldOfTitle(cell);
          if (field && std::find(columns.begin(), columns.end(), *field) != columns.end()) {
            problems.Add(lineNumber, "column " + std::string(cell) + " named twice");
          }
          if (!field)
            out.ignoredColumns.emplace_back(cell);
          columns.push_back(field ? *field : kNoColumn);
        }
        if (std::find(columns.begin(), columns.end(), formats::kDate) == columns.end())
          problems.Add(lineNumber, "the title row names no Date column");
        if (std::count_if(columns.begin(), columns.end(),
                          [](int f) { return f > formats::kTime; }) == 0)
          problems.Add(lineNumber, "the title row names no Open, High, Low or Close column");
        if (problems.any())
          break;
        continue;
      }
      std::string why;
      if (!ColumnsWithoutTitles(cells, columns, &why)) {
        problems.Add(lineNumber, why);
        break;
      }
    } else {
      SplitCells(line, out.delimiter, cells);
    }

    if (cells.size() != columns.size()) {
      problems.Add(lineNumber, std::to_string(cells.size()) + " columns where " +
                                   (out.titleRow ? "the title row has " : "the first line has ") +
                                   std::to_string(columns.size()));
      continue;
    }
    TextQuote quote;
    quote.line = static_cast<std::uint32_t>(lineNumber);
    bool readable = true;
    for (std::size_t c = 0; c < cells.size() && readable; ++c) {
      const int field = columns[c];
      const std::string_view cell = cells[c];
      if (field == formats::kDate) {
        quote.date = ParseTextDate(cell);
        if (quote.date == 0) {
          problems.Add(lineNumber, "unreadable date '" + std::string(cell) + "'");
          readable = false;
        }
      } else if (field == formats::kTime) {
        const int hhmmss = ParseTextTime(cell);
        if (hhmmss < 0) {
          problems.Add(lineNumber, "unreadable time '" + std::string(cell) + "'");
          readable = false;
        } else {
          // Two-second units, in whole numbers: the stored form's float arithmetic is not needed.
          quote.time = static_cast<formats::QuoteTime>(hhmmss / 10000 * 1800 +
                                                       hhmmss / 100 % 100 * 30 + hhmmss % 100 / 2);
        }
      } else if (field != kNoColumn) {
        float& value = quote.values[static_cast<std::size_t>(field - formats::kOpen)];
        if (!ParseNumber(cell, out.delimiter == ';', value)) {
          problems.Add(lineNumber, "unreadable " + std::string(FieldTitle(field)) + " '" +
                                       std::string(cell) + "'");
          readable = false;
        } else if (std::isnan(value)) {
          ++notAvailable[static_cast<std::size_t>(field)];
        }
      }
    }
    if (readable)
      out.quotes.push_back(quote);
  }

  for (int field : columns) {
    if (field != kNoColumn)
      out.has[static_cast<std::size_t>(field)] = true;
  }
  // A column of N/A throughout is a field the source did not hold; N/A among numbers is a gap
  // no quote file can keep.
  for (int f = formats::kOpen; f < formats::kFieldNameCount; ++f) {
    const std::size_t na = notAvailable[static_cast<std::size_t>(f)];
    if (na == 0)
      continue;
    if (na == out.quotes.size()) {
      out.has[static_cast<std::size_t>(f)] = false;
      continue;
    }
    for (const TextQuote& q : out.quotes) {
      if (std::isnan(q.values[static_cast<std::size_t>(f - formats::kOpen)]))
        problems.Add(q.line, std::string(FieldTitle(f)) + " is N/A on this line only");
    }
  }
  if (!problems.any() && std::count(out.has.begin() + formats::kOpen, out.has.end(), true) == 0)
    problems.Add(firstLine, "no column holds a price or volume");
  if (!problems.any() && out.quotes.empty())
    problems.Add(0, "the text holds no quotes");

  // Oldest first: a text written newest first is turned round, any other order sorted.
  std::vector<TextQuote>& q = out.quotes;
  const auto older = [](const TextQuote& a, const TextQuote& b) {
    return a.date != b.date ? a.date < b.date : a.time < b.time;
  };
  if (!std::is_sorted(q.begin(), q.end(), older)) {
    if (std::is_sorted(q.rbegin(), q.rend(), older))
      std::reverse(q.begin(), q.end());
    else
      std::stable_sort(q.begin(), q.end(), older);
  }
  for (std::size_t i = 1; i < q.size(); ++i) {
    if (!older(q[i - 1], q[i])) {
      const std::uint32_t first = std::min(q[i - 1].line, q[i].line);
      const std::uint32_t second = std::max(q[i - 1].line, q[i].line);
      problems.Add(second, std::string(out.intraday() ? "date and time" : "date") +
                               " given twice (also on line " + std::to_string(first) + ")");
    }
  }
  if (q.size() > static_cast<std::size_t>(formats::kMaxQuotes)) {
    problems.Add(0, std::to_string(q.size()) + " quotes: a quote file holds at most " +
                        std::to_string(formats::kMaxQuotes));
  }
  problems.Finish();
  if (!problemList.empty()) {
    out.quotes.clear();
    return false;
  }
  return true;
}

std::string DescribeProblems(const std::vector<TextProblem>& problems) {
  std::string text;
  for (const TextProblem& p : problems) {
    if (!text.empty())
      text += '\n';
    if (p.line > 0)
      text += "line " + std::to_string(p.line) + ": ";
    text += p.reason;
  }
  return text;
}

}  // namespace ledgrix::maintenance
