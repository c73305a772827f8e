// Small helpers the maintenance tests share; the portfolios themselves come from the fixture.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "formats/dates.h"
#include "formats/master.h"
#include "maintenance/quote_rewrite.h"
#include "tests/support/fixture.h"

namespace ledgrix::maintenance {

using Bytes = std::vector<std::uint8_t>;
using formats::DayFromYmd;
using testing::FileBytes;
using testing::PortfolioBuilder;
using testing::SymbolSpec;
using testing::TempDir;

// Monday 5 January 1998.
inline const QuoteDate kMonday = DayFromYmd(98, 1, 5);

// `quotes` weekday quotes from `first`, priced around 10 + n so that the files of two symbols
// never hold the same bytes.
inline SymbolSpec Spec(std::uint16_t n, const std::string& symbol, int quotes = 3,
                       QuoteDate first = kMonday) {
  SymbolSpec spec;
  spec.fileNumber = n;
  spec.symbol = symbol;
  spec.name = symbol + " INC";
  spec.quotes = testing::MakeDailyQuotes(first, quotes, 10.0f + n);
  return spec;
}

inline std::set<std::string> Names(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    names.insert(entry.path().filename().string());
  return names;
}

// Every entry of a directory with its bytes (none for a folder).
inline std::map<std::string, Bytes> Files(const std::filesystem::path& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    files[entry.path().filename().string()] = entry.is_regular_file() ? FileBytes(entry) : Bytes();
  return files;
}

inline Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

inline formats::MasterFile ReadMaster(const std::filesystem::path& master) {
  formats::MasterFile file;
  EXPECT_TRUE(formats::ReadMasterFile(master, file)) << master;
  return file;
}

inline QuoteChange Change(std::int16_t op, QuoteDate first, QuoteDate last,
                          std::array<float, 6> values = {}) {
  QuoteChange change;
  change.operation = op;
  change.firstDate = first;
  change.lastDate = last;
  change.values = values;
  return change;
}

}  // namespace ledgrix::maintenance
