// EMASTER: one 192-byte record per MASTER record, in the same order, with the long name and the
// dates again (IEEE floats and a YYYYMMDD integer). Bytes not named here are kept as read.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "formats/le_bytes.h"

namespace ledgrix::formats {

inline constexpr std::size_t kEmasterRecordSize = 192;

namespace emaster_offset {
inline constexpr std::size_t kRecordCount = 0;    // header: u16, MASTER bytes 0-1
inline constexpr std::size_t kHighestNumber = 2;  // header: u16, MASTER bytes 2-3
inline constexpr std::size_t kSerial = 49;        // header: 4 bytes, MASTER bytes 49-52
inline constexpr std::size_t kTag = 0;            // "66"
inline constexpr std::size_t kFileNumber = 2;     // u8, byte 3 zero
inline constexpr std::size_t kFieldCount = 6;
inline constexpr std::size_t kFieldBits = 7;
inline constexpr std::size_t kFlag = 9;     // as MASTER byte 51
inline constexpr std::size_t kSymbol = 11;  // 14 characters and a NUL
inline constexpr std::size_t kSymbolSize = 15;
inline constexpr std::size_t kShortName = 32;  // 16 characters and a NUL
inline constexpr std::size_t kShortNameSize = 17;
inline constexpr std::size_t kPeriodicity = 60;
inline constexpr std::size_t kInterval = 62;   // u16 minutes
inline constexpr std::size_t kFirstDate = 64;  // IEEE YYMMDD
inline constexpr std::size_t kFirstTime = 68;  // IEEE HHMMSS
inline constexpr std::size_t kLastDate = 72;
inline constexpr std::size_t kLastTime = 76;
inline constexpr std::size_t kFirstDateLong = 126;  // i32 YYYYMMDD, 19000101 = not set
inline constexpr std::size_t kLongName = 139;       // 45 characters and a NUL
inline constexpr std::size_t kLongNameSize = 46;
}  // namespace emaster_offset

struct EmasterHeader {
  std::array<std::uint8_t, kEmasterRecordSize> bytes{};

  std::uint16_t recordCount() const { return le::U16(&bytes[emaster_offset::kRecordCount]); }
  void setRecordCount(std::uint16_t n) { le::SetU16(&bytes[emaster_offset::kRecordCount], n); }
};

struct EmasterRecord {
  std::array<std::uint8_t, kEmasterRecordSize> bytes{};

  std::uint8_t fileNumber() const { return bytes[emaster_offset::kFileNumber]; }
  std::uint8_t fieldBits() const { return bytes[emaster_offset::kFieldBits]; }
  std::string symbol() const { return Text(emaster_offset::kSymbol, emaster_offset::kSymbolSize); }
  std::string shortName() const {
    return Text(emaster_offset::kShortName, emaster_offset::kShortNameSize);
  }
  std::string longName() const {
    return Text(emaster_offset::kLongName, emaster_offset::kLongNameSize);
  }
  float firstDate() const { return le::F32(&bytes[emaster_offset::kFirstDate]); }
  float lastDate() const { return le::F32(&bytes[emaster_offset::kLastDate]); }
  std::int32_t firstDateLong() const { return le::I32(&bytes[emaster_offset::kFirstDateLong]); }

 private:
  // At most size - 1 characters: the last byte of a field is its NUL.
  std::string Text(std::size_t offset, std::size_t size) const {
    return le::Text(&bytes[offset], size - 1);
  }
};

static_assert(sizeof(EmasterHeader) == kEmasterRecordSize);
static_assert(sizeof(EmasterRecord) == kEmasterRecordSize);

// The header and the records it counts. Records past the count are not part of the table and
// are not kept.
struct EmasterFile {
  EmasterHeader header;
  std::vector<EmasterRecord> records;
};

// Reads an EMASTER (bounded by its header count). False with the reason in *problem when the
// file cannot be read or holds fewer records than its header counts.
// *ioError (when given) is set when the file could not be opened or read at all.
bool ReadEmasterFile(const std::filesystem::path& path, EmasterFile& file, std::string* problem,
                     bool* ioError = nullptr);
std::vector<std::uint8_t> EmasterBytes(const EmasterFile& file);

}  // namespace ledgrix::formats
