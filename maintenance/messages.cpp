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

std::string DateExistsMessage(std::string_view dateText) {
  return Join({"Date ", dateText, " already exists."});
}

std::string SharedDateRefusal(std::string_view what, std::string_view dateText, int quotes) {
  return Join({what, " works on whole days, and ", dateText, " holds ", std::to_string(quotes),
               " quotes (intraday data).\nNothing was changed."});
}

std::string SplitSearchUnreadableMessage(std::string_view symbol) {
  return Join({kSplitSearchReadError, "\nThe quotes of ", symbol,
               " cannot be read; the search stopped there."});
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

std::string SymbolTooLongMessage(std::string_view symbol) {
  return Join({"The symbol \"", symbol, "\" is too long: a symbol has at most 14 characters."});
}

std::string NameTooLongMessage(std::size_t limit) {
  return Join({"The name is too long: the name of this symbol has at most ", std::to_string(limit),
               " characters."});
}

std::string UnencodableMessage(std::string_view character) {
  return Join({"The character \"", character,
               "\" cannot be stored: symbols and names are stored in the Windows-1252 "
               "character set."});
}

std::string EmasterRebuildQuestion(std::string_view emasterPath, std::string_view reason) {
  return Join({"The file\n", emasterPath, "\nis out of step with MASTER (", reason,
               ").\n\nLong names are not shown while it is. Should Ledgrix rebuild it from "
               "MASTER now?\n(The current file is kept as EMASTER.BAK.)"});
}

std::string EmasterIgnoredNote(std::string_view emasterPath, std::string_view reason) {
  return Join({"The file ", emasterPath, " is out of step with MASTER (", reason,
               "); its long names are not used."});
}

std::string XmasterUnusableNote(std::string_view xmasterPath, std::string_view reason) {
  return Join({"The file\n", xmasterPath, "\ncannot be used: it ", reason,
               ".\nOnly the symbols listed in MASTER are shown."});
}

std::string XmasterRecordsLeftOutNote(std::string_view xmasterPath, std::string_view reason) {
  return Join({"In the file\n", xmasterPath, "\n", reason, "."});
}

std::string StepLabel(std::string_view title, std::string_view symbol, std::string_view detail) {
  std::string label(title);
  for (const std::string_view part : {symbol, detail}) {
    if (!part.empty())
      label.append(label.empty() ? "" : " ").append(part);
  }
  return label;
}

std::string UndoActionText(bool redo, std::string_view label) {
  return Join({redo ? "Redo " : "Undo ", label});
}

std::string UndoRefusedMessage(bool redo, std::string_view label, std::string_view file) {
  return Join({UndoActionText(redo, label), " is refused:\n", file,
               "\nhas been changed since, by another program or by Ledgrix without its undo "
               "journal.\nNothing was changed."});
}

std::string UndoUnreadableMessage(bool redo, std::string_view label, std::string_view file) {
  return Join({UndoActionText(redo, label), " is refused:\n", file,
               "\ncannot be read.\nNothing was changed."});
}

std::string UndoFailedMessage(bool redo, std::string_view label, std::string_view reason) {
  return Join({UndoActionText(redo, label), " could not be finished:\n", reason,
               "\nEvery file holds its content from before or after the step; Undo or Redo can "
               "be chosen again."});
}

std::string JournalUnavailableMessage(std::string_view reason) {
  return Join({"The undo journal cannot be written:\n", reason, "\nNothing was changed."});
}

std::string JournalStoppedMessage(std::string_view reason) {
  return Join({"The undo journal could not record a change, so it was not made:\n", reason});
}

std::string JournalUnreadableMessage(std::string_view reason) {
  return Join({"The undo journal cannot be read:\n", reason, "\nNothing was changed."});
}

}  // namespace ledgrix::maintenance
