// Bit moves between stored MBF numbers and host IEEE floats; nothing is rounded.
#include "formats/mbf.h"

#include <cstring>

namespace ledgrix::formats {

int MbfToHost(const void* src, void* dst) {
  std::uint8_t b[4];
  std::memcpy(b, src, 4);
  if (b[3] == 0) {
    std::memset(dst, 0, 4);
    return 0;
  }
  const auto e = static_cast<std::uint8_t>(b[3] - 2);
  const std::uint8_t sign = b[2] & 0x80;
  b[2] = static_cast<std::uint8_t>((b[2] & 0x7F) | ((e & 1) << 7));
  b[3] = static_cast<std::uint8_t>((e >> 1) | sign);
  std::memcpy(dst, b, 4);
  return 0;
}

int HostToMbf(const void* src, void* dst) {
  float value;
  std::memcpy(&value, src, 4);
  // NaN compares unordered and counts as zero here.
  if (!(value < 0.0f || value > 0.0f)) {
    std::memset(dst, 0, 4);
    return 0;
  }
  std::uint8_t b[4];
  std::memcpy(b, src, 4);
  const std::uint8_t sign = b[3] & 0x80;
  const auto e = static_cast<std::uint8_t>((b[3] << 1) | (b[2] >> 7));
  b[2] = static_cast<std::uint8_t>((b[2] & 0x7F) | sign);
  b[3] = static_cast<std::uint8_t>(e + 2);
  std::memcpy(dst, b, 4);
  return 0;
}

void DecodeMbfRun(const std::uint8_t* bytes, float* out, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* b = bytes + 4 * i;
    // The same bit moves as DecodeMbf, without a branch.
    const std::uint32_t raw =
        static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
        (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    const std::uint32_t exponent = raw >> 24;
    const std::uint32_t bits =
        ((raw & 0x00800000u) << 8) | (((exponent - 2u) & 0xFFu) << 23) | (raw & 0x007FFFFFu);
    out[i] = std::bit_cast<float>(exponent == 0 ? 0u : bits);
  }
}

StoredNumber EncodeMbf(float value) {
  StoredNumber out{};
  HostToMbf(&value, out.data());
  return out;
}

}  // namespace ledgrix::formats
