// Names in the index files are bytes of a Windows code page; shown and typed as Unicode text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ledgrix::formats {

// The character of one byte (every one is in the Basic Multilingual Plane).
char16_t Windows1252ToUnicode(unsigned char byte);

// Bytes read as Windows-1252, as UTF-8. The five bytes the code page leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, so every byte
// string comes back unchanged through Utf8ToWindows1252.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 text as Windows-1252 bytes; nullopt when the text is not UTF-8 or holds a character
// the code page cannot hold.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// The number of characters of a UTF-8 text (bytes that begin a character).
std::size_t Utf8Length(std::string_view text);

// The first character of text that Windows-1252 cannot hold, as UTF-8; empty when there is
// none (or the text is not UTF-8).
std::string FirstUnencodable(std::string_view text);

}  // namespace ledgrix::formats
