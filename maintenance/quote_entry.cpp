// Entry checks and change requests of the quote commands.
#include "maintenance/quote_entry.h"

#include <charconv>
#include <cmath>

namespace ledgrix::maintenance {
namespace {

void SetReason(std::string* reason, std::string text) {
  if (reason)
    *reason = std::move(text);
}

bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// The number text, or nullopt with a reason naming the field.
std::optional<float> NumberOf(std::string_view text, std::string_view field, std::string* reason) {
  auto value = ParseNumberText(text);
  if (!value)
    SetReason(reason, std::string(field) + " holds no number: \"" + std::string(text) + "\"");
  return value;
}

std::optional<QuoteDate> DateOf(std::string_view text, std::string_view field,
                                std::string* reason) {
  QuoteDate day = formats::ParseDisplayDate(text);
  if (day == 0) {
    SetReason(reason, std::string(field) + " is not a date: \"" + std::string(text) + "\"");
    return std::nullopt;
  }
  return day;
}

}  // namespace

std::optional<float> ParseNumberText(std::string_view text) {
  // Leading white space and a sign as "%f" takes them; the number itself is read without the
  // locale, so a decimal point is a point whatever the user's language.
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || text[i] == '+' || text[i] == '-')
    return std::nullopt;
  float value = 0;
  const char* begin = text.data() + i;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
  // Infinity and NaN would spread through every value they scale; they are no number here.
  if (ec != std::errc() || ptr == begin || !std::isfinite(value))
    return std::nullopt;
  return negative ? -value : value;
}

bool CheckDateEntry(std::string_view text, std::string_view firstText, std::string_view lastText,
                    std::string* reason) {
  if (text.size() != 8 || text.find(' ') != std::string_view::npos) {
    SetReason(reason, "\"" + std::string(text) + "\" is not a date of the form MM/DD/YY");
    return false;
  }
  const QuoteDate day = formats::ParseDisplayDate(text);
  const QuoteDate first = formats::ParseDisplayDate(firstText);
  const QuoteDate last = formats::ParseDisplayDate(lastText);
  if (day == 0 || day < first || day > last) {
    SetReason(reason, std::string(text) + " is outside " + std::string(firstText) + " to " +
                          std::string(lastText));
    return false;
  }
  return true;
}

bool CheckFactorEntry(std::string_view text, std::string* reason) {
  const auto value = ParseNumberText(text);
  if (!value) {
    SetReason(reason, "\"" + std::string(text) + "\" holds no number");
    return false;
  }
  if (*value == 0) {
    SetReason(reason, "a factor of 0 is not allowed");
    return false;
  }
  return true;
}

std::optional<QuoteChange> BuildEditChange(const EditEntries& entries,
                                           const std::array<bool, 6>& fieldHeld,
                                           std::string* reason) {
  const std::array<const std::string*, 6> texts = {&entries.open,   &entries.high,
                                                   &entries.low,    &entries.close,
                                                   &entries.volume, &entries.openInterest};
  static constexpr std::array<std::string_view, 6> kNames = {"Open",  "High",   "Low",
                                                             "Close", "Volume", "Open Interest"};
  QuoteChange change;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (!fieldHeld[i])
      continue;  // the rewrite leaves a field the file lacks alone
    const auto value = NumberOf(*texts[i], kNames[i], reason);
    if (!value)
      return std::nullopt;
    change.values[i] = *value;
  }
  const auto day = DateOf(entries.date, "Date", reason);
  if (!day)
    return std::nullopt;
  change.firstDate = *day;
  change.lastDate = *day;
  change.operation = kSet;
  return change;
}

std::optional<QuoteChange> BuildSplitChange(std::string_view dateText, std::string_view newShares,
                                            std::string_view oldShares, std::string* reason) {
  const auto day = DateOf(dateText, "Split date", reason);
  if (!day)
    return std::nullopt;
  const auto newCount = NumberOf(newShares, "New shares", reason);
  if (!newCount)
    return std::nullopt;
  const auto oldCount = NumberOf(oldShares, "Old shares", reason);
  if (!oldCount)
    return std::nullopt;
  if (*newCount == 0 || *oldCount == 0) {
    SetReason(reason, "share counts of 0 are not allowed");
    return std::nullopt;
  }
  QuoteChange change;
  const float price = *oldCount / *newCount;
  const float volume = *newCount / *oldCount;
  change.values = {price, price, price, price, volume, volume};
  change.firstDate = 0;
  change.lastDate = static_cast<QuoteDate>(*day - 1);
  change.operation = kScale;
  return change;
}

std::optional<QuoteChange> BuildAdjustChange(std::string_view fromText, std::string_view toText,
                                             std::string_view price, std::string_view volume,
                                             std::string_view openInterest, std::string* reason) {
  const auto from = DateOf(fromText, "From date", reason);
  if (!from)
    return std::nullopt;
  const auto to = DateOf(toText, "To date", reason);
  if (!to)
    return std::nullopt;
  const auto priceFactor = NumberOf(price, "Price multiplier", reason);
  if (!priceFactor)
    return std::nullopt;
  const auto volumeFactor = NumberOf(volume, "Volume multiplier", reason);
  if (!volumeFactor)
    return std::nullopt;
  const auto oiFactor = NumberOf(openInterest, "Open interest multiplier", reason);
  if (!oiFactor)
    return std::nullopt;
  QuoteChange change;
  change.values = {*priceFactor, *priceFactor,  *priceFactor,
                   *priceFactor, *volumeFactor, *oiFactor};
  change.firstDate = *from;
  change.lastDate = *to;
  change.operation = kScale;
  return change;
}

QuoteChange BuildInsertChange(formats::QuoteDate newDate) {
  QuoteChange change;
  change.firstDate = formats::WeekdayAfter(newDate);
  change.lastDate = change.firstDate;
  change.operation = kInsert;
  return change;
}

QuoteChange BuildDeleteChange(formats::QuoteDate date) {
  QuoteChange change;
  change.firstDate = date;
  change.lastDate = date;
  change.operation = kDelete;
  return change;
}

}  // namespace ledgrix::maintenance
