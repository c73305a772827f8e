// MASTER records and the symbol lookup across directory entries.
#include "formats/master.h"

#include <cstring>
#include <set>
#include <system_error>

#include "formats/mbf.h"
#include "formats/quote_files.h"
#include "platform/files.h"

namespace ledgrix::formats {
namespace {

using namespace master_offset;

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i]))
      return false;
  }
  return true;
}

// A fixed text field read the way a C string is: up to its first zero byte.
std::string_view CText(const RecordBytes& bytes, std::size_t offset, std::size_t size) {
  const auto* begin = reinterpret_cast<const char*>(bytes.data() + offset);
  std::size_t n = 0;
  while (n < size && begin[n] != '\0')
    ++n;
  return {begin, n};
}

std::string_view TrimTrailingSpaces(std::string_view text) {
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

void WriteField(RecordBytes& bytes, std::size_t offset, std::size_t size, std::string_view text) {
  for (std::size_t i = 0; i < size; ++i) {
    bytes[offset + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
  }
}

float HostFloatAt(const RecordBytes& bytes, std::size_t offset) {
  float value;
  std::memcpy(&value, bytes.data() + offset, 4);
  return value;
}

}  // namespace

std::int16_t MasterHeader::symbolCount() const {
  return static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
}

void MasterHeader::setSymbolCount(std::int16_t count) {
  const auto u = static_cast<std::uint16_t>(count);
  bytes[0] = static_cast<std::uint8_t>(u & 0xFF);
  bytes[1] = static_cast<std::uint8_t>(u >> 8);
}

std::int16_t MasterHeader::fileCounter() const {
  return static_cast<std::int16_t>(bytes[2] | (bytes[3] << 8));
}

void MasterHeader::setFileCounter(std::int16_t count) {
  const auto u = static_cast<std::uint16_t>(count);
  bytes[2] = static_cast<std::uint8_t>(u & 0xFF);
  bytes[3] = static_cast<std::uint8_t>(u >> 8);
}

std::int8_t MasterRecord::recordLength() const {
  return static_cast<std::int8_t>(bytes[kRecordLength]);
}

std::int8_t MasterRecord::fieldCount() const {
  return static_cast<std::int8_t>(bytes[kFieldCount]);
}

std::string MasterRecord::issueName() const {
  return std::string(reinterpret_cast<const char*>(bytes.data() + kIssueName), kIssueNameSize);
}

std::string MasterRecord::symbolField() const {
  return std::string(reinterpret_cast<const char*>(bytes.data() + kSymbol), kSymbolFieldSize);
}

std::string MasterRecord::displaySymbol() const {
  std::string out;
  for (std::size_t i = 0; i < kSymbolFieldSize; ++i) {
    const std::uint8_t b = bytes[kSymbol + i];
    if (b <= 0x20 || b >= 0x80)
      break;
    out.push_back(static_cast<char>(b));
  }
  return out;
}

std::string MasterRecord::displayName() const {
  return std::string(CText(bytes, kIssueName, kIssueNameSize));
}

bool MasterRecord::isDirectoryEntry() const {
  return bytes[kIssueName] != ' ' && std::memcmp(bytes.data() + kIssueName + 11, "<DIR>", 5) == 0;
}

bool IsDirectoryEntryName(std::string_view name) {
  return name.size() >= 16 && name[0] != ' ' && name.substr(11, 5) == "<DIR>";
}

std::string MasterRecord::directoryName() const {
  return std::string(TrimTrailingSpaces(CText(bytes, kIssueName, 8)));
}

float MasterRecord::storedFirstDate() const {
  return DecodeMbf(bytes.data() + kFirstDate);
}
float MasterRecord::storedLastDate() const {
  return DecodeMbf(bytes.data() + kLastDate);
}
float MasterRecord::hostFirstDate() const {
  return HostFloatAt(bytes, kFirstDate);
}
float MasterRecord::hostLastDate() const {
  return HostFloatAt(bytes, kLastDate);
}

void MasterRecord::decodeDates() {
  MbfToHost(bytes.data() + kFirstDate, bytes.data() + kFirstDate);
  MbfToHost(bytes.data() + kLastDate, bytes.data() + kLastDate);
}

void MasterRecord::encodeDates() {
  HostToMbf(bytes.data() + kFirstDate, bytes.data() + kFirstDate);
  HostToMbf(bytes.data() + kLastDate, bytes.data() + kLastDate);
}

void MasterRecord::setIssueName(std::string_view text) {
  WriteField(bytes, kIssueName, kIssueNameSize, text);
}

void MasterRecord::setSymbolField(std::string_view text) {
  WriteField(bytes, kSymbol, kSymbolFieldSize, text);
}

std::string MasterRecord::symbolText() const {
  return std::string(TrimTrailingSpaces(CText(bytes, kSymbol, kSymbolTextSize)));
}

std::string MasterRecord::trimmedName() const {
  return std::string(TrimTrailingSpaces(CText(bytes, kIssueName, kIssueNameSize)));
}

bool MasterRecord::matches(std::string_view searchText) const {
  // Neither field can match when its first character differs (the lookup tries every record).
  if (!searchText.empty()) {
    const char first = LowerAscii(searchText.front());
    if (LowerAscii(static_cast<char>(bytes[kIssueName])) != first &&
        LowerAscii(static_cast<char>(bytes[kSymbol])) != first) {
      return false;
    }
  }
  return MatchesSearchText(CText(bytes, kIssueName, kIssueNameSize),
                           CText(bytes, kSymbol, kSymbolTextSize), searchText);
}

bool MatchesSearchText(std::string_view name, std::string_view symbol, std::string_view text) {
  if (EqualsIgnoringCase(TrimTrailingSpaces(name), text))
    return true;
  // The symbol up to its (k+1)-th space, k being the spaces of the search text, so that
  // "AB CD" finds "AB CD" followed by padding.
  std::size_t k = 0;
  for (char c : text)
    k += (c == ' ') ? 1 : 0;
  std::size_t end = symbol.size();
  std::size_t spaces = 0;
  for (std::size_t i = 0; i < symbol.size(); ++i) {
    if (symbol[i] == ' ' && ++spaces == k + 1) {
      end = i;
      break;
    }
  }
  return EqualsIgnoringCase(symbol.substr(0, end), text);
}

bool ReadMasterFile(const Path& masterPath, MasterFile& file) {
  std::vector<std::uint8_t> bytes;
  if (!platform::ReadWholeFile(masterPath, bytes))
    return false;
  if (bytes.size() < kMasterRecordSize)
    return false;
  MasterFile out;
  std::memcpy(out.header.bytes.data(), bytes.data(), kMasterRecordSize);
  const std::size_t whole = bytes.size() / kMasterRecordSize;
  out.records.resize(whole - 1);
  for (std::size_t i = 1; i < whole; ++i) {
    std::memcpy(out.records[i - 1].bytes.data(), bytes.data() + i * kMasterRecordSize,
                kMasterRecordSize);
  }
  out.trailingBytes = bytes.size() % kMasterRecordSize != 0;
  file = std::move(out);
  return true;
}

std::vector<std::uint8_t> MasterBytes(const MasterFile& file) {
  std::vector<std::uint8_t> out(file.header.bytes.begin(), file.header.bytes.end());
  out.reserve(kMasterRecordSize * (file.records.size() + 1));
  for (const MasterRecord& r : file.records)
    out.insert(out.end(), r.bytes.begin(), r.bytes.end());
  return out;
}

Path QuoteFilePath(const Path& dir, int fileNumber, std::string_view extension) {
  return platform::ResolveName(dir, QuoteFileName(fileNumber, extension));
}

}  // namespace ledgrix::formats
