// Everything the series facts window shows about one symbol.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "formats/field_layout.h"

namespace ledgrix::formats {

struct SeriesFacts {
  std::string path;  // the portfolio directory passed in
  std::uint16_t fileNumber = 0;
  int recordLength = 0;
  int fieldCount = 0;
  std::int32_t quoteCount = 0;  // lastRecord - 1 of F<n>.DAT
  std::string issueName;        // 16 bytes (XMASTER: the name's first 16)
  float firstDate = 0;          // stored date as a number, e.g. 980102
  float lastDate = 0;
  std::string periodicityText;  // "D Daily", or "ERROR"
  std::string symbol;           // 16 bytes from offset 36 (XMASTER: its symbol)
  std::string longName;         // EMASTER's or XMASTER's long name; empty where none
  std::string indexFile;        // "MASTER" or "XMASTER": the file that lists the symbol
  std::array<std::string, kFieldNameCount> inputText;
  std::array<std::string, kFieldNameCount> displayText;
};

// "D Daily" ... "Y Yearly"; "ERROR" for any other letter.
std::string PeriodicityText(char letter);
// "Whole Num.", "10ths", "128ths", "100s" ...; a code without a name shows its number.
std::string FormatCodeName(int code);

// Fills facts for symbol in dir. Returns 0, or 1 on any failure (facts untouched).
int ReadSeriesFacts(const std::filesystem::path& dir, std::string_view symbol, SeriesFacts& facts);

}  // namespace ledgrix::formats
