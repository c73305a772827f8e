// Every change to a symbol's quotes: F<n>.DAT rewritten through F<n>.NEW with F<n>.BAK kept,
// and the MASTER dates kept in step when the oldest or newest quote is deleted.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "formats/dates.h"
#include "formats/status.h"
#include "maintenance/prompt.h"

namespace ledgrix::maintenance {

using formats::QuoteDate;
using formats::QuoteTime;
using formats::StatusCode;

enum QuoteOperation : std::int16_t {
  kSet = 1,
  kScaleAlt = 2,  // treated as Scale
  kScale = 3,
  kDelete = 4,
  kInsert = 5,
};

struct QuoteChange {
  std::array<float, 6> values{};  // OPEN, HIGH, LOW, CLOSE, VOL, OI
  QuoteDate firstDate = 0;
  QuoteDate lastDate = 0;
  std::int16_t operation = 0;
};

// Applies change to symbol's quotes in portfolio dir. Results: 0; kFileOpen when F<n>.DAT
// cannot be opened; kDeleteNotFound when the quote to delete is not in the file (after the
// message "failure in delete quote for findrec"); kFileNotFound, kFileRead, kNoFieldLayout from
// the lookup; kFileWrite when the new file could not be written and put in place (the old file
// is then untouched), and after a delete at either end also when the new file is in place but
// the MASTER dates could not be updated (MASTER then untouched); kMalloc for an insert into a
// full file. The index updated after a delete is the one of the directory holding the symbol
// (MASTER and EMASTER, or XMASTER), and counts come from the file itself.
StatusCode ApplyQuoteChange(const QuoteChange& change, const std::filesystem::path& dir,
                            std::string_view symbol, Prompt& prompt);

// Binary search for the quote at (date, time). Returns its index, or a negative status
// (kFileOpen, kFileRead, kRecordNotFound, lookup results). foundDate/foundTime receive the
// date and time of the last quote read.
std::int32_t FindQuoteRecord(const std::filesystem::path& dir, std::string_view symbol,
                             QuoteDate date, QuoteTime time, QuoteDate* foundDate = nullptr,
                             QuoteTime* foundTime = nullptr);

// Writes stored (4 bytes, stored encoding) into firstDate or lastDate of every record with
// fileNumber in masterPath (with EMASTER in step), or of its XMASTER record for numbers above
// 255, keeping MASTER.BAK (EMASTER.BAK, XMASTER.BAK). Returns 0 when the new files are in place,
// 1 if not.
int UpdateMasterDate(const std::filesystem::path& masterPath, const formats::StoredNumber& stored,
                     std::uint16_t fileNumber, bool firstDate);

}  // namespace ledgrix::maintenance
