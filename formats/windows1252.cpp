// Windows-1252: Latin-1 except for 0x80-0x9F, where the code page puts typographic marks.
#include "formats/windows1252.h"

#include <array>
#include <cstdint>

namespace ledgrix::formats {
namespace {

// Code points of bytes 0x80-0x9F; the undefined ones map to the control of the same number.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Decodes one character at text[i], advancing i; nullopt for text that is not UTF-8.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<std::uint8_t>(text[i++]);
  if (lead < 0x80)
    return lead;
  int more = 0;
  char32_t c = 0;
  if ((lead & 0xE0) == 0xC0) {
    more = 1;
    c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2;
    c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3;
    c = lead & 0x07;
  } else {
    return std::nullopt;
  }
  for (int k = 0; k < more; ++k) {
    if (i >= text.size() || (static_cast<std::uint8_t>(text[i]) & 0xC0) != 0x80)
      return std::nullopt;
    c = (c << 6) | (static_cast<std::uint8_t>(text[i++]) & 0x3F);
  }
  return c;
}

std::optional<char> ByteOf(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
    return static_cast<char>(c);
  for (std::size_t k = 0; k < kHigh.size(); ++k) {
    if (kHigh[k] == c)
      return static_cast<char>(0x80 + k);
  }
  return std::nullopt;
}

}  // namespace

char16_t Windows1252ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? static_cast<char16_t>(kHigh[byte - 0x80]) : byte;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char b : bytes) {
    const auto u = static_cast<std::uint8_t>(b);
    AppendUtf8(out, (u >= 0x80 && u < 0xA0) ? kHigh[u - 0x80] : u);
  }
  return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::optional<char32_t> c = NextCodePoint(text, i);
    const std::optional<char> b = c ? ByteOf(*c) : std::nullopt;
    if (!b)
      return std::nullopt;
    out.push_back(*b);
  }
  return out;
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t n = 0;
  for (char b : text)
    n += (static_cast<std::uint8_t>(b) & 0xC0) != 0x80 ? 1 : 0;
  return n;
}

std::string FirstUnencodable(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    const std::optional<char32_t> c = NextCodePoint(text, i);
    if (!c)
      return {};
    if (!ByteOf(*c))
      return std::string(text.substr(start, i - start));
  }
  return {};
}

}  // namespace ledgrix::formats
