// The fixture builder: real portfolio bytes written into temporary directories.
#include "tests/support/fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <stdexcept>
#include <system_error>

#include "formats/mbf.h"

namespace ledgrix::testing {
namespace {

using namespace formats;

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string text) {
  for (char& c : text)
    c = LowerAscii(c);
  return text;
}

float StoredTime(QuoteTime time) {
  const Hms hms = HmsFromTime(time);
  return static_cast<float>(hms.hours * 10000 + hms.minutes * 100 + hms.seconds);
}

float FieldValue(const Quote& q, FieldName name) {
  switch (name) {
    case kDate:
      return StoredValueFromDay(q.date);
    case kTime:
      return StoredTime(q.time);
    case kOpen:
      return q.open;
    case kHigh:
      return q.high;
    case kLow:
      return q.low;
    case kClose:
      return q.close;
    case kVol:
      return q.volume;
    case kOi:
      return q.openInterest;
  }
  return 0;
}

int RecordLengthOf(const SymbolSpec& spec) {
  return spec.recordLength.value_or(static_cast<int>(spec.fields.size()) * 4);
}

void PutStored(std::vector<std::uint8_t>& bytes, std::size_t offset, float value) {
  const StoredNumber stored = EncodeMbf(value);
  std::memcpy(bytes.data() + offset, stored.data(), stored.size());
}

// The names already in a directory, by their lower-case spelling (listed once per Write: a
// listing per file would make large portfolios slow to build).
using Spellings = std::multimap<std::string, path>;

Spellings ListSpellings(const path& dir) {
  Spellings names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    names.emplace(Lower(entry.path().filename().string()), entry.path());
  return names;
}

// Writes file after removing other spellings of its name, so a directory never holds both
// "MASTER" and "Master".
void WriteOnly(const Spellings& existing, const path& file,
               const std::vector<std::uint8_t>& bytes) {
  const auto [first, last] = existing.equal_range(Lower(file.filename().string()));
  std::error_code ec;
  for (auto it = first; it != last; ++it) {
    if (it->second.filename() != file.filename())
      std::filesystem::remove(it->second, ec);
  }
  WriteBytes(file, bytes);
}

// The field bitset of a spec's fields, as XMASTER and EMASTER hold it.
std::uint8_t FieldBitsOf(const SymbolSpec& spec) {
  static constexpr std::uint8_t kBits[] = {0x01, 0x80, 0x20, 0x02, 0x04, 0x08, 0x10, 0x40};
  std::uint8_t bits = 0;
  for (FieldName f : spec.fields)
    bits = static_cast<std::uint8_t>(bits | kBits[static_cast<std::size_t>(f)]);
  return bits;
}

void PutU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

void PutI32(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(u >> (8 * i));
}

void PutText(std::vector<std::uint8_t>& b, std::size_t at, const std::string& text) {
  std::copy(text.begin(), text.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
}

std::string TrimRight(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
    text.pop_back();
  return text;
}

// YYYYMMDD of a stored date number (as a whole float, e.g. 1090724).
std::int32_t LongDate(float stored) {
  return stored > 0 ? static_cast<std::int32_t>(stored) + 19000000 : 19000101;
}

// EMASTER mirroring MASTER record for record, at the offsets the format documents.
std::vector<std::uint8_t> EmasterBytesOf(
    const MasterFile& master, const std::vector<std::pair<std::string, std::uint8_t>>& extras) {
  constexpr std::size_t kSize = 192;
  std::vector<std::uint8_t> b(kSize * (master.records.size() + 1), 0);
  std::copy_n(master.header.bytes.begin(), 4, b.begin());
  std::copy_n(master.header.bytes.begin() + 49, 4, b.begin() + 49);
  for (std::size_t i = 0; i < master.records.size(); ++i) {
    const MasterRecord& m = master.records[i];
    const std::size_t r = kSize * (i + 1);
    b[r] = '6';
    b[r + 1] = '6';
    b[r + 2] = m.bytes[0];
    b[r + 6] = m.bytes[4];
    b[r + 7] = extras[i].second;
    b[r + 9] = ' ';
    PutText(b, r + 11, TrimRight(std::string(m.bytes.begin() + 36, m.bytes.begin() + 50)));
    PutText(b, r + 32, TrimRight(std::string(m.bytes.begin() + 7, m.bytes.begin() + 23)));
    b[r + 60] = m.bytes[33];
    MbfToHost(m.bytes.data() + 25, b.data() + r + 64);
    MbfToHost(m.bytes.data() + 29, b.data() + r + 72);
    PutI32(b, r + 126, LongDate(DecodeMbf(m.bytes.data() + 25)));
    if (extras[i].first.size() > 16)
      PutText(b, r + 139, extras[i].first.substr(0, 45));
  }
  return b;
}

// XMASTER of the specs above 255, at the offsets the format documents.
std::vector<std::uint8_t> XmasterBytesOf(const std::vector<const SymbolSpec*>& specs,
                                         std::optional<std::uint16_t> next) {
  constexpr std::size_t kSize = 150;
  std::vector<std::uint8_t> b(kSize * (specs.size() + 1), 0);
  const std::uint8_t magic[] = {0x5D, 0xFE, 0x58, 0x4D};
  std::copy(std::begin(magic), std::end(magic), b.begin());
  PutU16(b, 10, static_cast<std::uint32_t>(specs.size()));
  PutU16(b, 14, static_cast<std::uint32_t>(specs.size()));
  std::uint32_t highest = 255;
  for (std::size_t i = 0; i < specs.size(); ++i) {
    const SymbolSpec& spec = *specs[i];
    const std::size_t r = kSize * (i + 1);
    const MasterRecord m = MakeMasterRecord(spec);
    b[r] = 0x01;
    PutText(b, r + 1, spec.symbol.substr(0, 14));
    PutText(b, r + 16, (spec.longName.empty() ? spec.name : spec.longName).substr(0, 45));
    b[r + 62] = static_cast<std::uint8_t>(spec.periodicity);
    PutU16(b, r + 65, spec.fileNumber);
    b[r + 70] = FieldBitsOf(spec);
    const std::uint8_t stamp[] = {0xfd, 0x20, 0x2e, 0x01, 0xfd, 0x20, 0x2e, 0x00};
    std::copy(std::begin(stamp), std::end(stamp), b.begin() + static_cast<std::ptrdiff_t>(r + 80));
    PutI32(b, r + 104, LongDate(DecodeMbf(m.bytes.data() + 25)));
    PutI32(b, r + 108, LongDate(DecodeMbf(m.bytes.data() + 25)));
    PutI32(b, r + 116, LongDate(DecodeMbf(m.bytes.data() + 29)));
    highest = std::max<std::uint32_t>(highest, spec.fileNumber);
  }
  PutU16(b, 18, next.value_or(static_cast<std::uint16_t>(highest + 1)));
  return b;
}

}  // namespace

TempDir::TempDir() {
  const path base = std::filesystem::temp_directory_path();
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "ledgrix-test-%08x", static_cast<unsigned>(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(base / name, ec)) {
      path_ = base / name;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::vector<Quote> MakeDailyQuotes(QuoteDate first, int count, float price) {
  std::vector<Quote> quotes;
  quotes.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  QuoteDate day = IsWeekend(first) ? WeekdayAfter(first) : first;
  // A fixed walk in quarter points, so every price prints exactly.
  std::uint32_t seed = 12345;
  float close = price;
  for (int i = 0; i < count && day != 0; ++i) {
    seed = seed * 1103515245u + 12345u;
    const int step = static_cast<int>((seed >> 16) % 9) - 4;
    Quote q;
    q.date = day;
    q.open = close;
    close = std::max(1.0f, close + 0.25f * static_cast<float>(step));
    q.close = close;
    q.high = std::max(q.open, q.close) + 0.5f;
    q.low = std::max(0.25f, std::min(q.open, q.close) - 0.5f);
    q.volume = static_cast<float>(10000 + (seed >> 20) % 5000 * 10);
    q.openInterest = static_cast<float>(500 + i % 100);
    quotes.push_back(q);
    day = WeekdayAfter(day);
  }
  return quotes;
}

MasterRecord MakeMasterRecord(const SymbolSpec& spec) {
  MasterRecord r;
  r.setFileNumber(static_cast<std::uint8_t>(spec.fileNumber));
  r.bytes[master_offset::kRecordLength] = static_cast<std::uint8_t>(RecordLengthOf(spec));
  r.bytes[master_offset::kFieldCount] =
      static_cast<std::uint8_t>(spec.fieldCount.value_or(static_cast<int>(spec.fields.size())));
  r.setIssueName(spec.name);
  r.setSymbolField(spec.symbol);
  r.bytes[master_offset::kPeriodicity] = static_cast<std::uint8_t>(spec.periodicity);
  QuoteDate first = spec.quotes.empty() ? 0 : spec.quotes.front().date;
  QuoteDate last = spec.quotes.empty() ? 0 : spec.quotes.back().date;
  const StoredNumber firstStored = StoredFromDay(spec.firstDate.value_or(first));
  const StoredNumber lastStored = StoredFromDay(spec.lastDate.value_or(last));
  std::memcpy(r.bytes.data() + master_offset::kFirstDate, firstStored.data(), 4);
  std::memcpy(r.bytes.data() + master_offset::kLastDate, lastStored.data(), 4);
  return r;
}

std::vector<std::uint8_t> MakeQuoteFile(const SymbolSpec& spec) {
  const auto length = static_cast<std::size_t>(RecordLengthOf(spec));
  std::vector<std::uint8_t> bytes(length * (spec.quotes.size() + 1), 0);
  const int lastRecord = spec.lastRecord.value_or(static_cast<int>(spec.quotes.size()) + 1);
  if (length >= 4) {
    bytes[2] = static_cast<std::uint8_t>(lastRecord & 0xFF);
    bytes[3] = static_cast<std::uint8_t>((lastRecord >> 8) & 0xFF);
  }
  for (std::size_t i = 0; i < spec.quotes.size(); ++i) {
    const std::size_t base = length * (i + 1);
    for (std::size_t f = 0; f < spec.fields.size() && (f + 1) * 4 <= length; ++f) {
      PutStored(bytes, base + f * 4, FieldValue(spec.quotes[i], spec.fields[f]));
    }
  }
  return bytes;
}

std::string MakeDopText(const SymbolSpec& spec) {
  std::string text;
  for (FieldName f : spec.fields) {
    text += "\"" + std::string(kFieldNames[static_cast<std::size_t>(f)]) + "\",0,0\r\n";
  }
  return text;
}

PortfolioBuilder::PortfolioBuilder(path dir) : dir_(std::move(dir)) {}

PortfolioBuilder& PortfolioBuilder::Add(const SymbolSpec& spec) {
  if (spec.fileNumber <= 255) {
    records_.push_back(MakeMasterRecord(spec));
    emasterExtras_.emplace_back(spec.longName, FieldBitsOf(spec));
  }
  specs_.push_back(spec);
  return *this;
}

PortfolioBuilder& PortfolioBuilder::AddAll(const std::vector<SymbolSpec>& specs) {
  for (const SymbolSpec& spec : specs)
    Add(spec);
  return *this;
}

PortfolioBuilder& PortfolioBuilder::WithEmaster(const std::string& name) {
  emasterName_ = name;
  return *this;
}

PortfolioBuilder& PortfolioBuilder::WithXmaster(const std::string& name,
                                                std::optional<std::uint16_t> next) {
  xmasterName_ = name;
  xmasterNext_ = next;
  return *this;
}

PortfolioBuilder& PortfolioBuilder::AddDirectoryEntry(const std::string& sub) {
  MasterRecord r;
  r.setIssueName(sub.substr(0, 11));
  std::memcpy(r.bytes.data() + master_offset::kIssueName + 11, "<DIR>", 5);
  r.setSymbolField("");
  records_.push_back(r);
  emasterExtras_.emplace_back();
  subdirs_.push_back(sub);
  return *this;
}

PortfolioBuilder& PortfolioBuilder::AddRawRecord(const MasterRecord& record) {
  records_.push_back(record);
  emasterExtras_.emplace_back();
  return *this;
}

PortfolioBuilder& PortfolioBuilder::SetCounts(std::int16_t symbolCount, std::int16_t fileCounter) {
  counts_ = {symbolCount, fileCounter};
  return *this;
}

PortfolioBuilder& PortfolioBuilder::SetMasterName(const std::string& name) {
  masterName_ = name;
  return *this;
}

PortfolioBuilder& PortfolioBuilder::SetLowerCaseQuoteFiles(bool lower) {
  lowerCaseQuoteFiles_ = lower;
  return *this;
}

const path& PortfolioBuilder::Write() {
  std::filesystem::create_directories(dir_);
  MasterFile master;
  const auto n = static_cast<std::int16_t>(records_.size());
  master.header.setSymbolCount(counts_ ? counts_->first : n);
  master.header.setFileCounter(counts_ ? counts_->second : n);
  master.records = records_;
  const Spellings existing = ListSpellings(dir_);
  WriteOnly(existing, masterPath(), MasterBytes(master));
  if (emasterName_)
    WriteOnly(existing, dir_ / *emasterName_, EmasterBytesOf(master, emasterExtras_));
  std::vector<const SymbolSpec*> extended;
  for (const SymbolSpec& spec : specs_) {
    if (spec.fileNumber > 255)
      extended.push_back(&spec);
  }
  if (xmasterName_ || !extended.empty())
    WriteOnly(existing, dir_ / xmasterName_.value_or("XMASTER"),
              XmasterBytesOf(extended, xmasterNext_));

  for (const SymbolSpec& spec : specs_) {
    std::string base = "F" + std::to_string(spec.fileNumber);
    if (lowerCaseQuoteFiles_)
      base = Lower(base);
    const std::string quotes = spec.fileNumber > 255 ? ".MWD" : ".DAT";
    WriteOnly(existing, dir_ / (base + (lowerCaseQuoteFiles_ ? Lower(quotes) : quotes)),
              MakeQuoteFile(spec));
    if (spec.writeDop) {
      const std::string dop = MakeDopText(spec);
      WriteOnly(existing, dir_ / (base + (lowerCaseQuoteFiles_ ? ".dop" : ".DOP")),
                std::vector<std::uint8_t>(dop.begin(), dop.end()));
    }
  }
  // Each directory entry's folder gets an empty MASTER unless one was written there already.
  for (const std::string& sub : subdirs_) {
    const path subdir = dir_ / sub;
    std::filesystem::create_directories(subdir);
    bool hasMaster = false;
    for (const auto& entry : std::filesystem::directory_iterator(subdir)) {
      hasMaster = hasMaster || Lower(entry.path().filename().string()) == "master";
    }
    if (!hasMaster)
      WriteBytes(subdir / "MASTER", MasterBytes(MasterFile{}));
  }
  return dir_;
}

std::vector<std::uint8_t> FileBytes(const path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return {};
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out)
    throw std::runtime_error("cannot write " + file.string());
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const path& file, const std::string& text) {
  WriteBytes(file, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::optional<path> SamplesDir() {
#ifdef LEDGRIX_SAMPLES_DIR
  const path dir = LEDGRIX_SAMPLES_DIR;
  std::error_code ec;
  if (!dir.empty() && std::filesystem::is_directory(dir, ec))
    return dir;
#endif
  return std::nullopt;
}

void CopyWritable(const path& from, const path& to) {
  std::filesystem::create_directories(to);
  std::filesystem::permissions(to, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add);
  for (const auto& entry : std::filesystem::directory_iterator(from)) {
    if (!entry.is_regular_file())
      continue;
    const path copy = to / entry.path().filename();
    std::filesystem::copy_file(entry.path(), copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
  }
}

}  // namespace ledgrix::testing
