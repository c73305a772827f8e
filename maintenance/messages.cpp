#include "maintenance/messages.h"

namespace ledgrix::maintenance {

namespace {

std::string Join(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts)
    text.append(part);
  return text;
}

}  // namespace

std::string SymbolCapNote(int announced, int shown) {
  return Join({"File has ", std::to_string(announced), " symbols.\nWill only display the first ",
               std::to_string(shown), " symbols"});
}

std::string NotOnAWeekdayMessage(std::string_view dateText) {
  return Join({"The quote of ", dateText,
               " is not dated on a weekday.\n"
               "A quote can only be added before a weekday's quote."});
}

std::string NoEarlierWeekdayMessage(std::string_view dateText) {
  return Join({"No earlier weekday can be represented before ", dateText, "."});
}

std::string DateExistsMessage(std::string_view dateText) {
  return Join({"Date ", dateText, " already exists."});
}

std::string SharedDateRefusal(std::string_view what, std::string_view dateText, int quotes) {
  return Join({what, " works on whole days, and ", dateText, " holds ", std::to_string(quotes),
               " quotes (intraday data).\nNothing was changed."});
}

std::string DeleteQuoteQuestion(std::string_view dateText) {
  return Join({"You are about to delete the data for date\n", dateText, "\nAre you sure?"});
}

std::string FactsUnreadableMessage(std::string_view symbol) {
  return Join({"The facts of symbol ", symbol,
               " cannot be shown: its MASTER record, quote file (DAT) or descriptor (DOP) could "
               "not be read."});
}

std::string SearchSaveFailedMessage(std::string_view path) {
  return Join({"The search results could not be saved to\n", path});
}

std::string ReplaceFileQuestion(std::string_view path) {
  return Join({path, "\nThis file already exists\n\nReplace existing file?"});
}

std::string UnconfirmedChangeMessage(std::string_view reason) {
  return Join(
      {"The change was made, but the disk did not confirm that it is stored safely; "
       "a power failure soon could still undo it.\n",
       reason});
}

}  // namespace ledgrix::maintenance
