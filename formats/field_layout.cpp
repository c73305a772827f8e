// ReadFieldLayout: the F<n>.DOP descriptor, or a layout made up from the record length.
#include "formats/field_layout.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/index_entry.h"
#include "formats/mbf.h"
#include "formats/quote_files.h"
#include "platform/files.h"

namespace ledgrix::formats {
namespace {

// Descriptor lines are read up to this many characters; the rest of a longer line is ignored.
constexpr std::size_t kMaxLineLength = 299;
constexpr char kCtrlZ = 0x1A;
// A descriptor holds a few short lines; more than this of a file is not looked at.
constexpr std::size_t kMaxDopSize = 1 << 20;

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The leading integer of an item, as atoi reads it, held to 16 bits.
std::int16_t ItemValue(std::string_view item) {
  std::size_t i = 0;
  while (i < item.size() && (item[i] == ' ' || item[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < item.size() && (item[i] == '-' || item[i] == '+'))
    negative = item[i++] == '-';
  long value = 0;
  for (; i < item.size() && item[i] >= '0' && item[i] <= '9'; ++i) {
    value = value * 10 + (item[i] - '0');
    if (value > 32768)
      value = 32768;
  }
  if (negative)
    value = -value;
  if (value > SHRT_MAX)
    value = SHRT_MAX;
  return static_cast<std::int16_t>(value);
}

// The first of the eight names that the text starts with, ignoring case; -1 for none.
int MatchFieldName(std::string_view text) {
  for (int i = 0; i < kFieldNameCount; ++i) {
    const std::string_view name = kFieldNames[static_cast<std::size_t>(i)];
    if (text.size() < name.size())
      continue;
    bool same = true;
    for (std::size_t k = 0; k < name.size() && same; ++k)
      same = UpperAscii(text[k]) == name[k];
    if (same)
      return i;
  }
  return -1;
}

void ParseDop(const std::vector<std::uint8_t>& bytes, FieldLayout& layout) {
  std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  // A Ctrl-Z marks the end of a DOS text file.
  if (const auto eof = text.find(kCtrlZ); eof != std::string_view::npos)
    text = text.substr(0, eof);
  std::int16_t next = 1;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.size() > kMaxLineLength)
      line = line.substr(0, kMaxLineLength);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    if (line.empty() || line.front() != '"')
      continue;

    std::string_view items[3];
    std::string_view rest = line.substr(1);
    for (int i = 0; i < 3; ++i) {
      const std::size_t comma = rest.find(',');
      items[i] = rest.substr(0, comma);
      if (comma == std::string_view::npos)
        break;
      rest = rest.substr(comma + 1);
    }
    const int name = MatchFieldName(items[0]);
    if (name < 0)
      continue;
    const auto index = static_cast<std::size_t>(name);
    layout.fieldPosition[index] = next;
    if (next < SHRT_MAX)
      ++next;
    layout.inputCode[index] = ItemValue(items[1]);
    layout.displayCode[index] = ItemValue(items[2]);
  }
}

using Opener = std::function<std::unique_ptr<platform::InputFile>()>;

void SetPositions(FieldLayout& layout, std::initializer_list<FieldName> fields) {
  std::int16_t position = 1;
  for (FieldName f : fields)
    layout.fieldPosition[static_cast<std::size_t>(f)] = position++;
}

// The 20-byte record is DATE HIGH LOW CLOSE VOL when its first quote's fifth field is 0 or more
// than twice its second, else DATE OPEN HIGH LOW CLOSE. Without a quote: the former.
StatusCode Guess20ByteLayout(const Opener& openDat, FieldLayout& layout) {
  auto in = openDat();
  if (!in)
    return kNoFieldLayout;
  std::uint8_t record[20];
  bool volume = true;
  if (in->ReadExact(record, sizeof record) && in->ReadExact(record, sizeof record)) {
    const float second = DecodeMbf(record + 4);
    const float fifth = DecodeMbf(record + 16);
    volume = fifth == 0.0f || fifth > 2 * second;
  }
  if (volume) {
    SetPositions(layout, {kDate, kHigh, kLow, kClose, kVol});
  } else {
    SetPositions(layout, {kDate, kOpen, kHigh, kLow, kClose});
  }
  return kOk;
}

StatusCode SyntheticLayout(const Opener& openDat, int recordLength, char periodicity,
                           FieldLayout& layout) {
  // Intraday files carry their time in the second field.
  if (periodicity == 'I' && recordLength == 28) {
    SetPositions(layout, {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol});
    return kOk;
  }
  if (periodicity == 'I' && recordLength == 32) {
    SetPositions(layout, {kDate, kTime, kOpen, kHigh, kLow, kClose, kVol, kOi});
    return kOk;
  }
  switch (recordLength) {
    case 8:
      SetPositions(layout, {kDate, kClose});
      return kOk;
    case 12:
      SetPositions(layout, {kDate, kClose, kVol});
      return kOk;
    case 16:
      SetPositions(layout, {kDate, kHigh, kLow, kClose});
      return kOk;
    case 20:
      return Guess20ByteLayout(openDat, layout);
    case 24:
      SetPositions(layout, {kDate, kOpen, kHigh, kLow, kClose, kVol});
      return kOk;
    case 28:
      SetPositions(layout, {kDate, kOpen, kHigh, kLow, kClose, kVol, kOi});
      return kOk;
    default:
      return kNoFieldLayout;
  }
}

}  // namespace

std::uint8_t FieldBitOf(FieldName name) {
  static constexpr std::array<std::uint8_t, kFieldNameCount> kBits = {0x01, 0x80, 0x20, 0x02,
                                                                      0x04, 0x08, 0x10, 0x40};
  return kBits[static_cast<std::size_t>(name)];
}

std::uint8_t FieldBits(const FieldLayout& layout) {
  std::uint8_t bits = 0;
  for (int name = 0; name < kFieldNameCount; ++name) {
    if (layout.fieldPosition[static_cast<std::size_t>(name)] != 0)
      bits = static_cast<std::uint8_t>(bits | FieldBitOf(static_cast<FieldName>(name)));
  }
  return bits;
}

FieldLayout LayoutFromBits(std::uint8_t bits) {
  FieldLayout layout;
  std::int16_t next = 1;
  for (int name = 0; name < kFieldNameCount; ++name) {
    if (bits & FieldBitOf(static_cast<FieldName>(name)))
      layout.fieldPosition[static_cast<std::size_t>(name)] = next++;
  }
  return layout;
}

bool IsUsableRecordLength(int recordLength) {
  return recordLength >= kMinRecordLength && recordLength <= kMaxRecordLength &&
         recordLength % 4 == 0;
}

namespace {

// The layout from the descriptor openDop gives, or the synthetic one (openDat gives the quote
// file that the 20-byte test looks at).
StatusCode BuildLayout(const Opener& openDop, const Opener& openDat, int recordLength,
                       char periodicity, std::uint8_t fieldBits, FieldLayout& layout) {
  layout = FieldLayout{};
  if (!IsUsableRecordLength(recordLength))
    return kNoFieldLayout;
  std::vector<std::uint8_t> bytes;
  if (auto in = openDop()) {
    std::uint8_t chunk[4096];
    for (std::size_t got;
         bytes.size() < kMaxDopSize && (got = in->Read(chunk, sizeof chunk)) > 0;) {
      bytes.insert(bytes.end(), chunk, chunk + got);
    }
    // Half a descriptor would give a layout that is not the file's.
    if (in->failed())
      return kNoFieldLayout;
    ParseDop(bytes, layout);
  } else if (fieldBits != 0 && RecordLengthOfBits(fieldBits) == recordLength) {
    layout = LayoutFromBits(fieldBits);
  } else if (const StatusCode status = SyntheticLayout(openDat, recordLength, periodicity, layout);
             status != kOk) {
    layout = FieldLayout{};
    return status;
  }
  // A position beyond the record would read or write past it: such a field is absent.
  const int fields = recordLength / 4;
  for (auto& position : layout.fieldPosition) {
    if (position > fields)
      position = 0;
  }
  return kOk;
}

}  // namespace

StatusCode ReadFieldLayout(const std::filesystem::path& dopPath, int recordLength,
                           FieldLayout& layout, char periodicity, std::uint8_t fieldBits) {
  return BuildLayout([&] { return platform::OpenResolved(dopPath); },
                     [&] {
                       // F<n>.DOP sits beside F<n>.DAT, or F<n>.MWD above 255.
                       const std::string stem = platform::Utf8FromPath(dopPath.stem());
                       const int n = stem.size() > 1 ? std::atoi(stem.c_str() + 1) : 0;
                       std::filesystem::path quotes = dopPath;
                       quotes.replace_extension(std::string(".") + QuoteExtension(n));
                       return platform::OpenResolved(quotes);
                     },
                     recordLength, periodicity, fieldBits, layout);
}

StatusCode ReadFieldLayoutResolved(const QuoteFiles& files, int recordLength, FieldLayout& layout,
                                   char periodicity, std::uint8_t fieldBits) {
  platform::FileSystem& fs = platform::CurrentFileSystem();
  const auto open = [&fs](bool exists, const std::filesystem::path& path) {
    return exists ? fs.OpenRead(path) : std::unique_ptr<platform::InputFile>();
  };
  return BuildLayout([&] { return open(files.dopExists, files.dop); },
                     [&] { return open(files.datExists, files.dat); }, recordLength, periodicity,
                     fieldBits, layout);
}

}  // namespace ledgrix::formats
