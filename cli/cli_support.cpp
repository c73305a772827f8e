#include "cli/cli_support.h"

#include <cstdarg>
#include <istream>
#include <ostream>

#include "maintenance/messages.h"
#include "platform/files.h"

namespace ledgrix::cli {

namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

void TerminalPrompt::Message(std::string_view text, maintenance::PromptIcon) {
  Report(err_, text);
}

bool TerminalPrompt::AskYesNo(std::string_view text) {
  if (yes_)
    return true;
  if (!interactive_) {
    Report(err_, text,
           {"Not asked: stdin is not a terminal. Give --yes to answer Yes; nothing was changed."});
    declined_ = true;
    return false;
  }
  err_ << "ledgrix-cli: " << text << " [y/N] " << std::flush;
  std::string answer;
  if (!std::getline(in_, answer))
    answer.clear();
  const bool yes =
      answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes" || answer == "YES";
  if (!yes)
    declined_ = true;
  return yes;
}

void Report(std::ostream& err, std::string_view text, const std::vector<std::string>& reasons) {
  err << "ledgrix-cli: " << text << '\n';
  for (const std::string& reason : reasons)
    err << "  " << reason << '\n';
  err << std::flush;
}

int Fail(const Context& ctx, std::string_view text, const std::vector<std::string>& reasons) {
  Report(ctx.err, text, reasons);
  return kExitFailed;
}

std::string StatusReason(formats::StatusCode status) {
  switch (status) {
    case formats::kFileNotFound:
      return "the symbol is not in the portfolio's MASTER files";
    case formats::kFileOpen:
      return "the quote file cannot be opened";
    case formats::kFileRead:
      return "a file cannot be read (missing, cut short or damaged)";
    case formats::kFileWrite:
      return "the new file could not be written; the old file is unchanged";
    case formats::kNoFieldLayout:
      return "the quote file's record layout cannot be determined";
    case formats::kRecordNotFound:
      return "the quote is not in the file";
    case formats::kDeleteNotFound:
      return "no quote of that date is in the file";
    case formats::kMalloc:
      return "the file is full or the quotes do not fit in memory";
    default: {
      const std::string_view text = formats::StatusText(status);
      return text.empty() ? Format("status %d", status) : std::string(text);
    }
  }
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int size = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(size > 0 ? static_cast<std::size_t>(size) + 1 : 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  text.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
  return text;
}

path ArgPath(std::string_view text) {
  return platform::PathFromUtf8(text);
}

std::string Shown(const path& file) {
  return platform::Utf8FromPath(file);
}

void ReportUnconfirmedChanges(std::ostream& err) {
  for (const std::string& reason : platform::TakeUnconfirmedChanges())
    Report(err, maintenance::UnconfirmedChangeMessage(reason));
}

maintenance::UndoJournal JournalOf(const Context& ctx, const path& dir) {
  // The GUI names a portfolio by the path its walk found, which follows no link.
  std::error_code ec;
  path real = std::filesystem::weakly_canonical(dir, ec);
  if (ec)
    real = dir;
  return maintenance::UndoJournal(maintenance::journal::DefaultRoot(), real, ctx.undoLimit);
}

CorrectionStep::CorrectionStep(const Context& ctx, const path& dir, std::string label)
    : ctx_(ctx),
      journal_(ctx.noUndo ? std::nullopt : std::optional(JournalOf(ctx, dir))),
      step_(journal_ ? &*journal_ : nullptr, std::move(label)) {
  if (!step_.ready()) {
    Report(ctx.err, maintenance::JournalUnavailableMessage(step_.error()),
           {"--no-undo makes corrections without it"});
  }
}

CorrectionStep::~CorrectionStep() {
  // A change the journal refused half-way: the command said it failed, this says why.
  const bool refusedLater = step_.ready() && !step_.error().empty();
  step_.Commit();
  if (refusedLater)
    Report(ctx_.err, maintenance::JournalStoppedMessage(step_.error()));
}

path MasterPathOf(const path& dir) {
  return platform::ResolveName(dir, "MASTER");
}

bool TypedNumberText(std::string_view option, std::string_view text, std::size_t maxLength,
                     std::string* reason) {
  for (const char c : text) {
    if ((c < '0' || c > '9') && c != '.') {
      *reason = std::string(option) + " \"" + std::string(text) +
                "\": only digits and a point can be entered";
      return false;
    }
  }
  return TypedPlainText(option, text, maxLength, reason);
}

bool TypedPlainText(std::string_view option, std::string_view text, std::size_t maxLength,
                    std::string* reason) {
  if (text.size() > maxLength) {
    *reason = std::string(option) + " \"" + std::string(text) + "\": at most " +
              std::to_string(maxLength) + " characters";
    return false;
  }
  return true;
}

bool SortedListLess(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = LowerAscii(a[i]);
    const char y = LowerAscii(b[i]);
    if (x != y)
      return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  if (a.size() != b.size())
    return a.size() < b.size();
  return a < b;
}

}  // namespace ledgrix::cli
