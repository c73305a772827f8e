// A reader of MASTER, EMASTER, XMASTER and the quote files written for tests straight from the
// format's description, sharing no code with formats/: what ledgrix writes is checked against
// it, not only against its own reader.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ledgrix::testing::independent {

struct Quote {
  long date = 0;  // YYYYMMDD
  float close = 0;
};

struct Symbol {
  bool inXmaster = false;
  int number = 0;
  std::string symbol;    // up to a NUL, trailing blanks removed
  std::string name;      // MASTER: the 16-byte name, trailing blanks removed; XMASTER: the name
  std::string longName;  // EMASTER's long name; XMASTER: the name
  long firstDate = 0;    // YYYYMMDD as the index holds it
  long lastDate = 0;
  bool hasQuoteFile = false;
  std::vector<Quote> quotes;  // DATE is field 1, CLOSE field 5 in every layout the tests use
};

struct Portfolio {
  std::vector<Symbol> symbols;  // MASTER's records in order, then XMASTER's
  int masterCount = 0;          // MASTER header
  int xmasterNext = 0;          // XMASTER header, 0 without XMASTER
  // Every disagreement found: between MASTER and EMASTER (count, file number, symbol, name,
  // dates in every encoding), within XMASTER's header, and between an index and its files.
  std::vector<std::string> problems;
};

Portfolio Read(const std::filesystem::path& dir);

}  // namespace ledgrix::testing::independent
