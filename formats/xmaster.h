// XMASTER: the symbols beyond MASTER's 255 (file numbers 256-65 535, quotes in F<n>.MWD), one
// 150-byte record each, in ascending file number. Bytes not named here are kept as read.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/le_bytes.h"

namespace ledgrix::formats {

inline constexpr std::size_t kXmasterRecordSize = 150;
inline constexpr std::array<std::uint8_t, 4> kXmasterMagic = {0x5D, 0xFE, 0x58, 0x4D};
// The lowest file number XMASTER gives out.
inline constexpr int kFirstXmasterNumber = 256;

namespace xmaster_offset {
inline constexpr std::size_t kMagic = 0;          // header
inline constexpr std::size_t kSerial = 6;         // header: MASTER bytes 49-52
inline constexpr std::size_t kRecordCount = 10;   // header: u16
inline constexpr std::size_t kRecordCount2 = 14;  // header: u16, the count again
inline constexpr std::size_t kNextNumber = 18;    // header: u16, highest number ever used + 1
inline constexpr std::size_t kMarker = 0;         // 0x01
inline constexpr std::size_t kSymbol = 1;         // 14 characters and a NUL
inline constexpr std::size_t kSymbolSize = 15;
inline constexpr std::size_t kName = 16;  // 45 characters and a NUL
inline constexpr std::size_t kNameSize = 46;
inline constexpr std::size_t kPeriodicity = 62;
inline constexpr std::size_t kInterval = 63;    // u16 minutes
inline constexpr std::size_t kFileNumber = 65;  // u16
inline constexpr std::size_t kFieldBits = 70;
inline constexpr std::size_t kStamp = 80;  // 8 bytes alike in every record of a file
inline constexpr std::size_t kStampSize = 8;
inline constexpr std::size_t kFirstDateCopy = 104;  // i32 YYYYMMDD, may hold 19000101
inline constexpr std::size_t kFirstDate = 108;      // i32 YYYYMMDD
inline constexpr std::size_t kFirstTime = 112;
inline constexpr std::size_t kLastDate = 116;  // i32 YYYYMMDD
inline constexpr std::size_t kLastTime = 120;
}  // namespace xmaster_offset

struct XmasterHeader {
  std::array<std::uint8_t, kXmasterRecordSize> bytes{};

  bool hasMagic() const;
  std::uint16_t recordCount() const { return le::U16(&bytes[xmaster_offset::kRecordCount]); }
  // Sets both copies of the count.
  void setRecordCount(std::uint16_t n);
  std::uint16_t nextNumber() const { return le::U16(&bytes[xmaster_offset::kNextNumber]); }
  void setNextNumber(std::uint16_t n) { le::SetU16(&bytes[xmaster_offset::kNextNumber], n); }
};

struct XmasterRecord {
  std::array<std::uint8_t, kXmasterRecordSize> bytes{};

  std::uint16_t fileNumber() const { return le::U16(&bytes[xmaster_offset::kFileNumber]); }
  std::uint8_t fieldBits() const { return bytes[xmaster_offset::kFieldBits]; }
  char periodicity() const { return static_cast<char>(bytes[xmaster_offset::kPeriodicity]); }
  std::string symbol() const {
    return le::Text(&bytes[xmaster_offset::kSymbol], xmaster_offset::kSymbolSize - 1);
  }
  std::string name() const {
    return le::Text(&bytes[xmaster_offset::kName], xmaster_offset::kNameSize - 1);
  }
  std::int32_t firstDate() const { return le::I32(&bytes[xmaster_offset::kFirstDate]); }
  std::int32_t lastDate() const { return le::I32(&bytes[xmaster_offset::kLastDate]); }
};

static_assert(sizeof(XmasterHeader) == kXmasterRecordSize);
static_assert(sizeof(XmasterRecord) == kXmasterRecordSize);

struct XmasterFile {
  XmasterHeader header;
  std::vector<XmasterRecord> records;  // the records the header counts
};

// Reads an XMASTER (bounded by its header count). False with the reason in *problem when it
// cannot be read, lacks the magic bytes or holds fewer records than its header counts.
// *ioError (when given) is set when the file could not be opened or read at all.
bool ReadXmasterFile(const std::filesystem::path& path, XmasterFile& file, std::string* problem,
                     bool* ioError = nullptr);
std::vector<std::uint8_t> XmasterBytes(const XmasterFile& file);

}  // namespace ledgrix::formats
