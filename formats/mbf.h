// The 4-byte Microsoft Binary Format single-precision numbers of quote files and MASTER dates.
#pragma once

#include <array>
#include <cstdint>

namespace ledgrix::formats {

using StoredNumber = std::array<std::uint8_t, 4>;

// Converts 4 stored bytes to a host IEEE float (4 bytes). src and dst may be the same bytes.
// Moves bits only; an exponent byte of 0 gives +0.0. Always returns 0.
int MbfToHost(const void* src, void* dst);

// Converts a host float (4 bytes) to stored bytes. src and dst may be the same bytes.
// 0.0, -0.0 and NaN give four zero bytes. Always returns 0.
int HostToMbf(const void* src, void* dst);

// Value forms of the two conversions.
float DecodeMbf(const std::uint8_t* bytes);
StoredNumber EncodeMbf(float value);

}  // namespace ledgrix::formats
