// What every sub-command of ledgrix-cli shares: exit codes, the terminal prompt, and the way
// messages reach the user (stderr, the dialogs' own text first, then the reason).
#pragma once

#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/status.h"
#include "maintenance/prompt.h"
#include "maintenance/undo_journal.h"

namespace ledgrix::cli {

using std::filesystem::path;

// 0 done, 1 refused or failed (nothing changed), 2 usage.
enum ExitCode : int { kExitDone = 0, kExitFailed = 1, kExitUsage = 2 };

// Answers questions from --yes, from a terminal on stdin, or not at all (No) when stdin is not
// a terminal; messages go to err.
class TerminalPrompt final : public maintenance::Prompt {
 public:
  TerminalPrompt(bool yes, bool interactive, std::istream& in, std::ostream& err)
      : yes_(yes), interactive_(interactive), in_(in), err_(err) {}

  void Message(std::string_view text, maintenance::PromptIcon icon) override;
  bool AskYesNo(std::string_view text) override;

  // True once a question was answered No (or could not be asked).
  bool declined() const { return declined_; }

 private:
  bool yes_;
  bool interactive_;
  std::istream& in_;
  std::ostream& err_;
  bool declined_ = false;
};

// State shared by every sub-command of one run.
struct Context {
  bool yes = false;
  std::ostream& out;
  std::ostream& err;
  TerminalPrompt& prompt;
  bool noUndo = false;  // corrections are made without the undo journal
  std::uint64_t undoLimit = maintenance::kDefaultUndoLimit;
};

// The undo journal of dir, the one the GUI shows for that portfolio.
maintenance::UndoJournal JournalOf(const Context& ctx, const path& dir);

// One correction of dir's files as a step of its journal (none with --no-undo). When ready() is
// false the journal cannot take it and this was reported: nothing may be changed then.
class CorrectionStep {
 public:
  CorrectionStep(const Context& ctx, const path& dir, std::string label);
  ~CorrectionStep();
  CorrectionStep(const CorrectionStep&) = delete;
  CorrectionStep& operator=(const CorrectionStep&) = delete;
  bool ready() const { return step_.ready(); }

 private:
  const Context& ctx_;
  std::optional<maintenance::UndoJournal> journal_;
  maintenance::JournalStep step_;
};

// Writes "ledgrix-cli: <text>" and each reason on a line of its own, indented.
void Report(std::ostream& err, std::string_view text, const std::vector<std::string>& reasons = {});
// Report, then kExitFailed.
int Fail(const Context& ctx, std::string_view text, const std::vector<std::string>& reasons = {});

// What a status code of the format operations means, for the reason line.
std::string StatusReason(formats::StatusCode status);

// printf into a std::string (on Windows MinGW's C99 printf, which knows %zu).
#ifdef _WIN32
std::string Format(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
#else
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
#endif

// A path given on the command line (UTF-8 text), and a path as the messages show it.
path ArgPath(std::string_view text);
std::string Shown(const path& file);

// The notes of changes the disk did not confirm, each as a message on err.
void ReportUnconfirmedChanges(std::ostream& err);

// dir / "MASTER" with the name as it is spelt on disk.
path MasterPathOf(const path& dir);

// The MM/DD/YY form of a date option, as the date fields of the dialogs take it.
inline constexpr std::size_t kDateTextLength = 8;

// The keystroke filter of the number fields: only digits and the point can be typed, and at
// most maxLength characters. On failure *reason names the option.
bool TypedNumberText(std::string_view option, std::string_view text, std::size_t maxLength,
                     std::string* reason);
// A plain field (any character) of at most maxLength characters.
bool TypedPlainText(std::string_view option, std::string_view text, std::size_t maxLength,
                    std::string* reason);

// Case-insensitive order of the sorted lists and grids (letters folded to lower case), byte
// order among texts that differ only in case.
bool SortedListLess(std::string_view a, std::string_view b);

}  // namespace ledgrix::cli
