// The fixture builder: real portfolio bytes written into temporary directories.
#include "tests/support/fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
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

// Writes file after removing other spellings of its name, so a directory never holds both
// "MASTER" and "Master".
void WriteOnly(const path& file, const std::vector<std::uint8_t>& bytes) {
  const std::string wanted = Lower(file.filename().string());
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), ec)) {
    const path other = entry.path();
    if (other.filename() != file.filename() && Lower(other.filename().string()) == wanted) {
      std::filesystem::remove(other, ec);
    }
  }
  WriteBytes(file, bytes);
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
  r.setFileNumber(spec.fileNumber);
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
  records_.push_back(MakeMasterRecord(spec));
  specs_.push_back(spec);
  return *this;
}

PortfolioBuilder& PortfolioBuilder::AddDirectoryEntry(const std::string& sub) {
  MasterRecord r;
  r.setIssueName(sub.substr(0, 11));
  std::memcpy(r.bytes.data() + master_offset::kIssueName + 11, "<DIR>", 5);
  r.setSymbolField("");
  records_.push_back(r);
  subdirs_.push_back(sub);
  return *this;
}

PortfolioBuilder& PortfolioBuilder::AddRawRecord(const MasterRecord& record) {
  records_.push_back(record);
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
  WriteOnly(masterPath(), MasterBytes(master));

  for (const SymbolSpec& spec : specs_) {
    std::string base = "F" + std::to_string(spec.fileNumber);
    if (lowerCaseQuoteFiles_)
      base = Lower(base);
    WriteOnly(dir_ / (base + (lowerCaseQuoteFiles_ ? ".dat" : ".DAT")), MakeQuoteFile(spec));
    if (spec.writeDop) {
      const std::string dop = MakeDopText(spec);
      WriteOnly(dir_ / (base + (lowerCaseQuoteFiles_ ? ".dop" : ".DOP")),
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

}  // namespace ledgrix::testing
