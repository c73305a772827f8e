// The texts that both the GUI's message boxes and ledgrix-cli show, in one place so that the two
// say the same thing byte for byte.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ledgrix::maintenance {

// The quote commands' failures.
inline constexpr const char* kSingleDateEditFailed = "Single Date Edit Failed";
inline constexpr const char* kSplitEditFailed = "Split Edit Failed";
inline constexpr const char* kAdjustEditFailed = "Adjust Edit Failed";
inline constexpr const char* kAddQuoteFailed = "Add Quote Failed";
inline constexpr const char* kDeleteEditFailed = "Delete Edit Failed";

// Filling the grids, the split search and the export.
inline constexpr const char* kSymbolsGridFailure = "Failure while filling symbols grid";
inline constexpr const char* kQuotesGridFailure = "Error in FillQuotesGrid";
inline constexpr const char* kTooManyBars = "Too many bars";
inline constexpr const char* kSplitSearchReadError = "Error in SplitSearch bars read";
inline constexpr const char* kNoCandidateSplits = "No candidate splits found";
inline constexpr const char* kFileExportError = "file export error";

// Edit Symbol with an empty symbol.
inline constexpr const char* kMustEnterSymbol = "You must enter a symbol";

// The facts of a quote series: the labels of the values from MASTER and the DAT file, and of the
// DOP table's columns and rows, in the order both show them.
inline constexpr const char* kFactsPathLabel = "Path";
inline constexpr std::array<const char*, 11> kFactsValueLabels = {"File number",
                                                                  "DAT file record length",
                                                                  "DAT file number of fields",
                                                                  "Number of quotes",
                                                                  "Name of issue",
                                                                  "First date in file",
                                                                  "Last date in file",
                                                                  "Data format",
                                                                  "Symbol",
                                                                  "Long name",
                                                                  "Listed in"};
inline constexpr std::array<const char*, 3> kDopColumnLabels = {"Field", "Input", "Display"};
inline constexpr std::array<const char*, 8> kDopFieldLabels = {"Date", "Time",  "Open", "High",
                                                               "Low",  "Close", "Vol",  "OI"};

// MASTER announces more symbols than the grid shows.
std::string SymbolCapNote(int announced, int shown);

// Add: the selected quote is not dated on a weekday (or no weekday before it can be stored); the
// weekday before it is already there.
std::string NotOnAWeekdayMessage(std::string_view dateText);
std::string DateExistsMessage(std::string_view dateText);

// Edit and Delete ("Edit", "Delete") on a date that quotes quotes share (intraday data).
std::string SharedDateRefusal(std::string_view what, std::string_view dateText, int quotes);

// The split search could not read symbol's quotes and stopped.
std::string SplitSearchUnreadableMessage(std::string_view symbol);

// The question before a quote is deleted.
std::string DeleteQuoteQuestion(std::string_view dateText);

// The facts of a symbol whose MASTER record, DAT or DOP cannot be read.
std::string FactsUnreadableMessage(std::string_view symbol);

// The split search's results could not be written to path (the reason follows on its own line).
std::string SearchSaveFailedMessage(std::string_view path);

// The question before an existing file is replaced.
std::string ReplaceFileQuestion(std::string_view path);

// A change that is in place but that the disk did not confirm (its folder could not be synced);
// the reason follows on its own line.
std::string UnconfirmedChangeMessage(std::string_view reason);

// Symbol > Edit and rename-symbol: a symbol or name longer than its field, or a character the
// files' code page (Windows-1252) cannot hold.
std::string SymbolTooLongMessage(std::string_view symbol);
std::string NameTooLongMessage(std::size_t limit);
std::string UnencodableMessage(std::string_view character);

// The extended index: an EMASTER out of step with MASTER (the question whether to rebuild it,
// and the note when it is not), an XMASTER that cannot be used.
std::string EmasterRebuildQuestion(std::string_view emasterPath, std::string_view reason);
std::string EmasterIgnoredNote(std::string_view emasterPath, std::string_view reason);
std::string XmasterUnusableNote(std::string_view xmasterPath, std::string_view reason);
std::string XmasterRecordsLeftOutNote(std::string_view xmasterPath, std::string_view reason);

// The undo journal. A step is named by its correction's dialog title and what it acted on:
// "Split Data ELMR 09/13/21".
inline constexpr const char* kEditQuoteTitle = "Edit Selected Quote";
inline constexpr const char* kSplitTitle = "Split Data";
inline constexpr const char* kAdjustTitle = "Adjust Data";
inline constexpr const char* kAddQuoteTitle = "Add Data";
inline constexpr const char* kDeleteQuoteTitle = "Delete Data";
inline constexpr const char* kDeleteSymbolTitle = "Delete Symbol";
inline constexpr const char* kEditSymbolTitle = "Edit Symbol";
inline constexpr const char* kMoveSymbolTitle = "Move Symbol";
inline constexpr const char* kCopySymbolTitle = "Copy Symbol";
inline constexpr const char* kRepairTitle = "Repair MASTER";
inline constexpr const char* kRebuildEmasterTitle = "Rebuild EMASTER";
inline constexpr const char* kNothingToUndo = "Nothing to undo";
inline constexpr const char* kNothingToRedo = "Nothing to redo";

// title, symbol and detail joined by blanks, empty parts left out.
std::string StepLabel(std::string_view title, std::string_view symbol = {},
                      std::string_view detail = {});
// "Undo <label>" or "Redo <label>".
std::string UndoActionText(bool redo, std::string_view label);
// A file of the step holds neither its content from before nor from after it.
std::string UndoRefusedMessage(bool redo, std::string_view label, std::string_view file);
// A file of the step, or the journal's copy of it, cannot be read.
std::string UndoUnreadableMessage(bool redo, std::string_view label, std::string_view file);
// Files were being put back when one could not be written.
std::string UndoFailedMessage(bool redo, std::string_view label, std::string_view reason);
// The journal cannot record a correction, which is therefore not made.
std::string JournalUnavailableMessage(std::string_view reason);
// The journal refused a change during a correction, which stopped there; the changes made
// before it are recorded.
std::string JournalStoppedMessage(std::string_view reason);
// The journal itself cannot be read.
std::string JournalUnreadableMessage(std::string_view reason);

}  // namespace ledgrix::maintenance
