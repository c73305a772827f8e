// Typed dates through ParseDate in every form, and FormatDate/ParseDate round trips.
// Input: a separator byte, a 2-byte day number, then the typed text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/dates.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"

namespace {

using namespace ledgrix::formats;

bool HasCentury(int form) {
  return form % 2 == 0;
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Every day whose year a form can write: two-digit forms 1961-2059, four-digit forms all.
bool Writable(QuoteDate day, int form) {
  const int year = YmdFromDay(day).year;
  return HasCentury(form) || (year >= 61 && year <= 159);
}

void CheckRoundTrip(QuoteDate day, int form, char separator) {
  const std::string text = FormatDate(day, form, separator);
  LEDGRIX_FUZZ_CHECK(!text.empty());
  if (day == 0 || !Writable(day, form))
    return;
  LEDGRIX_FUZZ_CHECK(ParseDate(text, form) == day);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ledgrix::fuzz::FuzzInput in(data, size);
  char separator = static_cast<char>(in.U8());
  const QuoteDate day = in.U16();
  const std::string text(in.Take(16));

  // Forms 1-6 need a separator that ends a group of digits.
  if (IsDigit(separator))
    separator = '/';
  for (int form = 0; form <= 13; ++form) {
    const QuoteDate parsed = ParseDate(text, form);
    if (form < 1 || form > 12) {
      LEDGRIX_FUZZ_CHECK(parsed == 0);
      LEDGRIX_FUZZ_CHECK(FormatDate(day, form, '/').empty());
      continue;
    }
    CheckRoundTrip(day, form, separator);
    CheckRoundTrip(day, form, '/');
    if (parsed != 0) {
      const Ymd ymd = YmdFromDay(parsed);
      LEDGRIX_FUZZ_CHECK(ymd.month >= 1 && ymd.month <= 12 && ymd.day >= 1 && ymd.day <= 31);
      // A date read once reads the same when written and read again.
      LEDGRIX_FUZZ_CHECK(ParseDate(FormatDate(parsed, form, '/'), form) == parsed);
      LEDGRIX_FUZZ_CHECK(DayFromYmd(ymd.year, ymd.month, ymd.day) == parsed);
    }
  }
  // The display form is form 3 with "/".
  LEDGRIX_FUZZ_CHECK(ParseDisplayDate(text) == ParseDate(text, kDisplayForm));
  LEDGRIX_FUZZ_CHECK(DisplayDate(day) == FormatDate(day, kDisplayForm, '/'));
  return 0;
}
