// The texts the GUI and ledgrix-cli share, with their values filled in: each to the byte, since
// both front ends and the users' habits depend on them.
#include <gtest/gtest.h>

#include <string>

#include "maintenance/messages.h"

namespace ledgrix::maintenance {
namespace {

TEST(Messages, FilledInTextsKeepEveryByte) {
  const struct {
    std::string built;
    const char* expected;
  } cases[] = {
      {SymbolCapNote(300, 255), "File has 300 symbols.\nWill only display the first 255 symbols"},
      {NotOnAWeekdayMessage("01/06/96"),
       "The quote of 01/06/96 is not dated on a weekday.\n"
       "A quote can only be added before a weekday's quote."},
      {DateExistsMessage("01/05/96"), "Date 01/05/96 already exists."},
      {SharedDateRefusal("Edit", "01/08/96", 12),
       "Edit works on whole days, and 01/08/96 holds 12 quotes (intraday data).\n"
       "Nothing was changed."},
      {SharedDateRefusal("Delete", "01/08/96", 2),
       "Delete works on whole days, and 01/08/96 holds 2 quotes (intraday data).\n"
       "Nothing was changed."},
      {DeleteQuoteQuestion("01/08/96"),
       "You are about to delete the data for date\n01/08/96\nAre you sure?"},
      {FactsUnreadableMessage("IBM"),
       "The facts of symbol IBM cannot be shown: its MASTER record, quote file (DAT) or "
       "descriptor (DOP) could not be read."},
      {SearchSaveFailedMessage("/tmp/out.txt"),
       "The search results could not be saved to\n"
       "/tmp/out.txt"},
      {ReplaceFileQuestion("out.txt"),
       "out.txt\nThis file already exists\n\nReplace existing file?"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.built, c.expected);
}

TEST(Messages, ValuesAreTakenAsBytes) {
  // Symbols and paths are MASTER bytes or native names: nothing is cut at a blank or an odd byte.
  EXPECT_EQ(FactsUnreadableMessage("A B\xE9"),
            "The facts of symbol A B\xE9 cannot be shown: its MASTER record, quote file (DAT) or "
            "descriptor (DOP) could not be read.");
  EXPECT_EQ(DateExistsMessage(""), "Date  already exists.");
}

}  // namespace
}  // namespace ledgrix::maintenance
