// history, undo and redo: the undo journal of a portfolio, shared with the GUI's Edit menu.
#include <CLI/CLI.hpp>

#include <ctime>
#include <ostream>

#include "cli/commands.h"
#include "maintenance/messages.h"

namespace ledgrix::cli {

namespace {

std::string LocalTime(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &time);
#else
  localtime_r(&time, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

const char* StateName(maintenance::UndoStep::State state) {
  using State = maintenance::UndoStep::State;
  switch (state) {
    case State::kDone:
      return "done";
    case State::kUndone:
      return "undone";
    case State::kInterrupted:
      return "interrupted";
    case State::kUnreadable:
      return "unreadable";
  }
  return "?";
}

int RunHistory(const Context& ctx, const path& dir) {
  std::string error;
  const auto history = JournalOf(ctx, dir).History(&error);
  if (!error.empty())
    return Fail(ctx, maintenance::JournalUnreadableMessage(error));
  for (const maintenance::UndoStep& step : history)
    ctx.out << StateName(step.state) << '\t' << LocalTime(step.time) << '\t' << step.label << '\n';
  return kExitDone;
}

int RunUndo(const Context& ctx, const path& dir, bool redo) {
  const maintenance::UndoJournal journal = JournalOf(ctx, dir);
  const maintenance::UndoOutcome outcome = redo ? journal.Redo() : journal.Undo();
  if (!outcome.ok())
    return Fail(ctx, outcome.message);
  ctx.out << maintenance::UndoActionText(redo, outcome.label) << '\n';
  return kExitDone;
}

}  // namespace

void AddUndoCommands(CLI::App& app, CommandTable& table) {
  {
    auto dir = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand(
        "history", "List the corrections of a portfolio's undo journal, newest first");
    sub->add_option("DIR", *dir, "portfolio directory")->required();
    table.emplace_back(sub, [dir](const Context& ctx) { return RunHistory(ctx, ArgPath(*dir)); });
  }
  for (const bool redo : {false, true}) {
    auto dir = std::make_shared<std::string>();
    CLI::App* sub =
        app.add_subcommand(redo ? "redo" : "undo", redo ? "Make the correction undone last again"
                                                        : "Take back the newest correction");
    sub->add_option("DIR", *dir, "portfolio directory")->required();
    table.emplace_back(
        sub, [dir, redo](const Context& ctx) { return RunUndo(ctx, ArgPath(*dir), redo); });
  }
}

}  // namespace ledgrix::cli
