// The 4-byte Microsoft Binary Format single-precision numbers of quote files and MASTER dates.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace ledgrix::formats {

using StoredNumber = std::array<std::uint8_t, 4>;

// Converts 4 stored bytes to a host IEEE float (4 bytes). src and dst may be the same bytes.
// Moves bits only; an exponent byte of 0 gives +0.0. Always returns 0.
int MbfToHost(const void* src, void* dst);

// Converts a host float (4 bytes) to stored bytes. src and dst may be the same bytes.
// 0.0, -0.0 and NaN give four zero bytes. Always returns 0.
int HostToMbf(const void* src, void* dst);

// Value forms of the two conversions. DecodeMbf is inline: loaders call it for every field.
inline float DecodeMbf(const std::uint8_t* bytes) {
  if (bytes[3] == 0)
    return 0.0f;
  const std::uint32_t mantissa = bytes[0] | (bytes[1] << 8) | ((bytes[2] & 0x7Fu) << 16);
  const std::uint32_t sign = (bytes[2] & 0x80u) << 24;
  const std::uint32_t exponent = static_cast<std::uint8_t>(bytes[3] - 2);
  return std::bit_cast<float>(sign | (exponent << 23) | mantissa);
}
StoredNumber EncodeMbf(float value);

// DecodeMbf of count stored numbers in a row (a window of quote records read in one go), in one
// loop the compiler can vectorise.
void DecodeMbfRun(const std::uint8_t* bytes, float* out, std::size_t count);

}  // namespace ledgrix::formats
