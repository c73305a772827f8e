// Entries of the joined index made from MASTER and XMASTER records, and the date numbers.
#include "formats/index_entry.h"

#include <bit>
#include <cmath>

#include "platform/files.h"

namespace ledgrix::formats {
namespace {

// Whole date numbers from 1 January 1900 (000101) to 31 December 2199 (2991231).
constexpr std::int32_t kMaxStoredDate = 2991231;

}  // namespace

const char* IndexFileName(IndexFile file) {
  return file == IndexFile::kXmaster ? "XMASTER" : "MASTER";
}

std::int32_t StoredDateFromFloat(float value) {
  if (!std::isfinite(value) || value < 1.0f || value > static_cast<float>(kMaxStoredDate))
    return 0;
  const auto n = static_cast<std::int32_t>(value);
  return static_cast<float>(n) == value ? n : 0;
}

std::int32_t StoredDateFromLong(std::int32_t yyyymmdd) {
  if (yyyymmdd <= kLongDateNotSet || yyyymmdd - 19000000 > kMaxStoredDate)
    return 0;
  return yyyymmdd - 19000000;
}

std::int32_t LongFromStoredDate(std::int32_t stored) {
  return stored > 0 && stored <= kMaxStoredDate ? stored + 19000000 : kLongDateNotSet;
}

bool IndexEntry::matches(std::string_view searchText) const {
  if (key.file == IndexFile::kMaster)
    return master.matches(searchText);
  return MatchesSearchText(name, fullSymbol, searchText);
}

bool XmasterMatches(const XmasterRecord& record, std::string_view searchText) {
  // Neither field can match when its first character differs (a lookup tries thousands).
  if (!searchText.empty()) {
    const auto lower = [](std::uint8_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
    const int first = lower(static_cast<std::uint8_t>(searchText.front()));
    if (lower(record.bytes[xmaster_offset::kName]) != first &&
        lower(record.bytes[xmaster_offset::kSymbol]) != first)
      return false;
  }
  return MatchesSearchText(record.name(), record.symbol(), searchText);
}

IndexEntry EntryFromMaster(const MasterRecord& record, std::size_t position) {
  IndexEntry e;
  e.key = {IndexFile::kMaster, record.fileNumber()};
  e.position = position;
  e.isDirectory = record.isDirectoryEntry();
  e.symbol = record.displaySymbol();
  e.name = record.displayName();
  e.periodicity = record.periodicity();
  e.recordLength = record.recordLength();
  e.fieldCount = record.fieldCount();
  e.firstDate = StoredDateFromFloat(record.storedFirstDate());
  e.lastDate = StoredDateFromFloat(record.storedLastDate());
  e.master = record;
  return e;
}

IndexEntry EntryFromXmaster(const XmasterRecord& record, std::size_t position) {
  IndexEntry e;
  e.key = {IndexFile::kXmaster, record.fileNumber()};
  e.position = position;
  // Cut like a MASTER symbol, so a row's text is what the lookup compares.
  const std::string symbol = record.symbol();
  e.fullSymbol = symbol;
  std::size_t end = 0;
  while (end < symbol.size() && static_cast<unsigned char>(symbol[end]) > 0x20 &&
         static_cast<unsigned char>(symbol[end]) < 0x80)
    ++end;
  e.symbol = symbol.substr(0, end);
  e.name = record.name();
  e.periodicity = record.periodicity();
  e.fieldBits = record.fieldBits();
  e.recordLength = RecordLengthOfBits(e.fieldBits);
  e.fieldCount = e.recordLength / 4;
  e.firstDate = StoredDateFromLong(record.firstDate());
  e.lastDate = StoredDateFromLong(record.lastDate());
  return e;
}

int RecordLengthOfBits(std::uint8_t bits) {
  return 4 * std::popcount(bits);
}

const char* QuoteExtension(int fileNumber) {
  return fileNumber > kMaxSymbols ? "MWD" : "DAT";
}

std::filesystem::path QuoteDataPath(const std::filesystem::path& dir, int fileNumber) {
  return QuoteFilePath(dir, fileNumber, QuoteExtension(fileNumber));
}

}  // namespace ledgrix::formats
