// Which record field holds DATE, TIME, OPEN, HIGH, LOW, CLOSE, VOL and OI: read from the
// F<n>.DOP descriptor, or made up from the record length where there is none.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "formats/status.h"

namespace ledgrix::formats {

enum FieldName : int { kDate = 0, kTime, kOpen, kHigh, kLow, kClose, kVol, kOi };
inline constexpr int kFieldNameCount = 8;
inline constexpr std::array<std::string_view, kFieldNameCount> kFieldNames = {
    "DATE", "TIME", "OPEN", "HIGH", "LOW", "CLOSE", "VOL", "OI"};

// Quote records hold 1 to 19 fields of 4 bytes.
inline constexpr int kMinRecordLength = 4;
inline constexpr int kMaxRecordLength = 76;
inline constexpr int kMaxFields = kMaxRecordLength / 4;
// True for a record length the readers and writers can hold: 4 to 76, a multiple of 4.
bool IsUsableRecordLength(int recordLength);

struct FieldLayout {
  std::array<std::int16_t, kFieldNameCount> fieldPosition{};  // 1-based; 0 = absent
  std::array<std::int16_t, kFieldNameCount> inputCode{};
  std::array<std::int16_t, kFieldNameCount> displayCode{};

  bool has(FieldName name) const { return fieldPosition[name] != 0; }
};

// The field bitset of the index files: DATE 0x01, HIGH 0x02, LOW 0x04, CLOSE 0x08, VOL 0x10,
// OPEN 0x20, OI 0x40, TIME 0x80.
std::uint8_t FieldBitOf(FieldName name);
std::uint8_t FieldBits(const FieldLayout& layout);
// The fields bits holds, in the record order DATE, TIME, OPEN, HIGH, LOW, CLOSE, VOL, OI.
FieldLayout LayoutFromBits(std::uint8_t bits);

// Reads dopPath into layout. Without a DOP the layout follows fieldBits where an index file
// gives them for this record length, else the record length (the 20-byte case looks at the
// first quote of the quote file beside it); with periodicity 'I' a 28-byte record is DATE TIME
// OPEN HIGH LOW CLOSE VOL and a 32-byte one adds OI. Returns 0 or kNoFieldLayout (also for
// record lengths IsUsableRecordLength refuses). Positions beyond the record read as absent.
StatusCode ReadFieldLayout(const std::filesystem::path& dopPath, int recordLength,
                           FieldLayout& layout, char periodicity = 'D', std::uint8_t fieldBits = 0);

}  // namespace ledgrix::formats
