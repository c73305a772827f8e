// The checks and change requests of the quote commands, shared by the dialogs and the CLI so
// that both accept the same entries and write the same changes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "formats/dates.h"
#include "maintenance/quote_rewrite.h"

namespace ledgrix::maintenance {

inline constexpr const char* kInvalidDataEntered = "Invalid Data Entered";

// Reads a number text as the C library's "%f" does. Empty, "." or text without a number
// ("N/A") gives nullopt.
std::optional<float> ParseNumberText(std::string_view text);

// A date field passes when it is 8 characters without a space and lies within first..last
// (the MM/DD/YY texts of the oldest and newest loaded quote). On failure *reason says why.
bool CheckDateEntry(std::string_view text, std::string_view firstText, std::string_view lastText,
                    std::string* reason = nullptr);
// A factor field passes when it holds a number other than 0.
bool CheckFactorEntry(std::string_view text, std::string* reason = nullptr);

// Change requests of the commands; nullopt (with *reason) when an entry holds no number or
// no date.
struct EditEntries {
  std::string date, open, high, low, close, volume, openInterest;
};
// fieldHeld[i]: whether the file holds OPEN..OI; a field not held is ignored whatever it reads.
std::optional<QuoteChange> BuildEditChange(const EditEntries& entries,
                                           const std::array<bool, 6>& fieldHeld,
                                           std::string* reason = nullptr);
std::optional<QuoteChange> BuildSplitChange(std::string_view dateText, std::string_view newShares,
                                            std::string_view oldShares,
                                            std::string* reason = nullptr);
std::optional<QuoteChange> BuildAdjustChange(std::string_view fromText, std::string_view toText,
                                             std::string_view price, std::string_view volume,
                                             std::string_view openInterest,
                                             std::string* reason = nullptr);
// Add: the new date is the weekday before the current quote's date; the change inserts in
// front of the quote dated the weekday after the new date.
QuoteChange BuildInsertChange(formats::QuoteDate newDate);
QuoteChange BuildDeleteChange(formats::QuoteDate date);

}  // namespace ledgrix::maintenance
