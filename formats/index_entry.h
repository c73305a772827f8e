// One symbol of a portfolio as the joined index sees it, whichever index file lists it: MASTER
// (file numbers 1-255, quotes in F<n>.DAT) or XMASTER (256-65 535, quotes in F<n>.MWD).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/master.h"
#include "formats/xmaster.h"

namespace ledgrix::formats {

enum class IndexFile : std::uint8_t { kMaster, kXmaster };
// "MASTER" or "XMASTER".
const char* IndexFileName(IndexFile file);

// A symbol's identity in its portfolio: its file number, and the index file that lists it.
struct SymbolKey {
  IndexFile file = IndexFile::kMaster;
  std::uint16_t fileNumber = 0;
  friend bool operator==(const SymbolKey&, const SymbolKey&) = default;
};

// Dates of the index files as one number, Y*10000 + M*100 + D with Y the years since 1900
// (1090724 is 24 July 2009), 0 for none. Whole-number arithmetic only: a YYYYMMDD integer never
// passes through a float.
std::int32_t StoredDateFromFloat(float value);           // 0 for no whole date number
std::int32_t StoredDateFromLong(std::int32_t yyyymmdd);  // 0 for 19000101 ("not set")
std::int32_t LongFromStoredDate(std::int32_t stored);    // 19000101 for 0
inline constexpr std::int32_t kLongDateNotSet = 19000101;

struct IndexEntry {
  SymbolKey key;
  std::size_t position = 0;  // record in its index file, 0 being the first after the header
  bool isDirectory = false;  // a MASTER directory entry: names a sub-portfolio, no symbol
  std::string symbol;        // display symbol, bytes
  std::string fullSymbol;    // XMASTER: the symbol field up to its NUL (the lookup compares it)
  std::string name;          // MASTER: issue name up to a NUL (blanks kept); XMASTER: its name
  std::string longName;      // MASTER entries: a consistent EMASTER's long name, else empty
                             // (XMASTER's name is its long name)
  char periodicity = 0;
  int recordLength = 0;
  int fieldCount = 0;
  std::uint8_t fieldBits = 0;  // 0 where no index file tells
  std::int32_t firstDate = 0;  // stored date numbers
  std::int32_t lastDate = 0;
  MasterRecord master;  // MASTER entries: the record as stored

  std::uint16_t fileNumber() const { return key.fileNumber; }
  bool inXmaster() const { return key.file == IndexFile::kXmaster; }
  // What the name column shows: the long name where there is one.
  const std::string& shownName() const { return longName.empty() ? name : longName; }
  // The long name, empty where there is none.
  const std::string& fullName() const { return inXmaster() ? name : longName; }
  // The lookup's matching rule on this entry's name and symbol.
  bool matches(std::string_view searchText) const;
};

IndexEntry EntryFromMaster(const MasterRecord& record, std::size_t position);
IndexEntry EntryFromXmaster(const XmasterRecord& record, std::size_t position);
// The lookup's matching rule on an XMASTER record's name and symbol.
bool XmasterMatches(const XmasterRecord& record, std::string_view searchText);

// Record length of a field bitset (DATE 0x01 ... TIME 0x80): 4 bytes a field.
int RecordLengthOfBits(std::uint8_t bits);

// "DAT" for file numbers up to 255, "MWD" above.
const char* QuoteExtension(int fileNumber);
// F<n>.DAT or F<n>.MWD of dir, resolved without regard to case.
std::filesystem::path QuoteDataPath(const std::filesystem::path& dir, int fileNumber);

}  // namespace ledgrix::formats
