// Outcome codes of the format operations and of the quote rewrite.
#pragma once

#include <cstdint>
#include <string_view>

namespace ledgrix::formats {

// 0 is success; every failure is negative.
using StatusCode = std::int16_t;

inline constexpr StatusCode kOk = 0;
inline constexpr StatusCode kInvalidParm = -1;
inline constexpr StatusCode kFileOpen = -2;
inline constexpr StatusCode kMalloc = -3;
inline constexpr StatusCode kFileRead = -4;
inline constexpr StatusCode kFileWrite = -5;
inline constexpr StatusCode kFileSeek = -6;
inline constexpr StatusCode kFileExists = -7;
inline constexpr StatusCode kFileNotFound = -8;
inline constexpr StatusCode kRecordNotFound = -9;
inline constexpr StatusCode kNoGraphicsFound = -10;
inline constexpr StatusCode kNoFontsFound = -11;
inline constexpr StatusCode kChartsUninitialized = -12;
inline constexpr StatusCode kMaxLinesExceeded = -13;
inline constexpr StatusCode kMaxGridsExceeded = -14;
inline constexpr StatusCode kUnknown = -15;
inline constexpr StatusCode kNoFieldLayout = -100;   // no text
inline constexpr StatusCode kDeleteNotFound = -200;  // no text

// The fixed text of a code ("Sucessfull" for 0, as the format has always spelt it);
// empty for -100, -200 and codes outside the table.
std::string_view StatusText(int code);

}  // namespace ledgrix::formats
