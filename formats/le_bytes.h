// Little-endian numbers and NUL-ended texts at fixed offsets of a record's bytes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ledgrix::formats::le {

inline std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline void SetU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v & 0xFF);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void SetU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline std::int32_t I32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(U32(p));
}
inline void SetI32(std::uint8_t* p, std::int32_t v) {
  SetU32(p, static_cast<std::uint32_t>(v));
}
// IEEE-754 single precision.
inline float F32(const std::uint8_t* p) {
  return std::bit_cast<float>(U32(p));
}
inline void SetF32(std::uint8_t* p, float v) {
  SetU32(p, std::bit_cast<std::uint32_t>(v));
}

// A fixed text field read up to its first NUL (stale bytes after it are not part of it).
inline std::string Text(const std::uint8_t* field, std::size_t size) {
  std::size_t n = 0;
  while (n < size && field[n] != 0)
    ++n;
  return std::string(reinterpret_cast<const char*>(field), n);
}
// Writes text into a field of size bytes, the rest zero-filled; text is cut to size bytes.
inline void SetText(std::uint8_t* field, std::size_t size, std::string_view text) {
  for (std::size_t i = 0; i < size; ++i)
    field[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

}  // namespace ledgrix::formats::le
