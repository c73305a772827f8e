// The MASTER file: a 53-byte header and 53-byte symbol records.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "formats/status.h"

namespace ledgrix::formats {

using Path = std::filesystem::path;

inline constexpr std::size_t kMasterRecordSize = 53;
inline constexpr int kMaxSymbols = 255;
// Directory entries are followed at most this deep; deeper ones are skipped.
inline constexpr int kMaxDirectoryDepth = 16;

// Field offsets of a MasterRecord.
namespace master_offset {
inline constexpr std::size_t kFileNumber = 0;
inline constexpr std::size_t kRecordLength = 3;
inline constexpr std::size_t kFieldCount = 4;
inline constexpr std::size_t kIssueName = 7;
inline constexpr std::size_t kIssueNameSize = 16;
inline constexpr std::size_t kFirstDate = 25;
inline constexpr std::size_t kLastDate = 29;
inline constexpr std::size_t kPeriodicity = 33;
inline constexpr std::size_t kSymbol = 36;
inline constexpr std::size_t kSymbolTextSize = 14;   // symbolText proper
inline constexpr std::size_t kSymbolFieldSize = 16;  // what grids, repair and edit use
}  // namespace master_offset

using RecordBytes = std::array<std::uint8_t, kMasterRecordSize>;

// Record 0 of MASTER. Bytes 4-52 are kept as they are by every writer.
struct MasterHeader {
  RecordBytes bytes{};

  std::int16_t symbolCount() const;
  void setSymbolCount(std::int16_t count);
  std::int16_t fileCounter() const;
  void setFileCounter(std::int16_t count);
};

// A symbol record (or a directory entry). Uninterpreted bytes are kept as they are.
struct MasterRecord {
  RecordBytes bytes{};

  std::uint8_t fileNumber() const { return bytes[master_offset::kFileNumber]; }
  void setFileNumber(std::uint8_t n) { bytes[master_offset::kFileNumber] = n; }
  std::int8_t recordLength() const;
  std::int8_t fieldCount() const;
  char periodicity() const { return static_cast<char>(bytes[master_offset::kPeriodicity]); }
  // The 16 bytes of issueName as they are (spaces included).
  std::string issueName() const;
  // The 16 bytes from offset 36 (symbolText and the two bytes after it) as they are.
  std::string symbolField() const;
  // The symbol field cut at the first byte <= 0x20 or >= 0x80.
  std::string displaySymbol() const;
  // The name field up to a zero byte (at most 16 characters, blanks kept), as the grid shows it.
  std::string displayName() const;
  bool hasBlankSymbol() const { return displaySymbol().empty(); }

  // "<DIR>" at issueName positions 11-15 and a first name byte that is not a space.
  bool isDirectoryEntry() const;
  // The sub-directory a directory entry names: the first 8 name bytes, trailing spaces removed.
  std::string directoryName() const;

  // firstDate/lastDate decoded from the stored encoding (records as read from a file).
  float storedFirstDate() const;
  float storedLastDate() const;
  // firstDate/lastDate as host floats (records that LookupSymbol returned).
  float hostFirstDate() const;
  float hostLastDate() const;
  // Replace the two dates by their host values / back by their stored encoding.
  void decodeDates();
  void encodeDates();

  // Writes text into a 16-byte field, space-padded, no terminator, cut at 16 bytes.
  void setIssueName(std::string_view text);
  void setSymbolField(std::string_view text);

  // symbolText: the 14 bytes up to a zero byte, trailing spaces removed.
  std::string symbolText() const;
  // issueName up to a zero byte, trailing spaces removed.
  std::string trimmedName() const;

  // The record-matching rule of the lookup (MatchesSearchText on issue name and symbol text).
  bool matches(std::string_view searchText) const;
};

// A symbols-grid row whose name reads like a directory entry's ("<DIR>" at positions 11-15, a
// first character that is not a space) stands for a sub-portfolio, not for a symbol.
bool IsDirectoryEntryName(std::string_view name);

// The lookup's matching rule: name with trailing spaces removed equals text, or symbol up to its
// (k+1)-th space (k the spaces in text) does, ignoring ASCII case.
bool MatchesSearchText(std::string_view name, std::string_view symbol, std::string_view text);

static_assert(sizeof(MasterHeader) == kMasterRecordSize);
static_assert(sizeof(MasterRecord) == kMasterRecordSize);

// A whole MASTER file as read: the header and every whole record that follows it.
struct MasterFile {
  MasterHeader header;
  std::vector<MasterRecord> records;
  bool trailingBytes = false;  // the file ended inside a record
};

// Reads a MASTER file (its name resolved without regard to case). False when it cannot be
// opened or holds no whole header.
bool ReadMasterFile(const Path& masterPath, MasterFile& file);
// The bytes of a MASTER file made of header and records.
std::vector<std::uint8_t> MasterBytes(const MasterFile& file);

// "F<n>.DAT", "F<n>.DOP", "F<n>.BAK", "F<n>.NEW" of file number n in dir, each resolved
// without regard to case (QuoteDataPath gives F<n>.DAT or F<n>.MWD as the number says).
Path QuoteFilePath(const Path& dir, int fileNumber, std::string_view extension);

}  // namespace ledgrix::formats
