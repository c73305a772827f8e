// remove-symbol, copy-symbol, move-symbol and rename-symbol: the Symbol menu's commands.
#include <CLI/CLI.hpp>

#include <optional>

#include "cli/commands.h"
#include "cli/quote_access.h"
#include "maintenance/messages.h"
#include "maintenance/symbol_ops.h"

namespace ledgrix::cli {

namespace {

constexpr std::size_t kSymbolFieldLength = 16;

int RunRemove(const Context& ctx, const path& dir, const std::string& typed) {
  SymbolList list;
  SymbolRow row;
  if (!OpenSymbol(ctx, dir, typed, list, row))
    return kExitFailed;
  if (!ctx.prompt.AskYesNo("Selected Symbol to Delete:\n" + row.symbol +
                           "\n\nAre you sure you want to delete the Symbol shown above? "))
    return kExitFailed;
  CorrectionStep step(ctx, dir,
                      maintenance::StepLabel(maintenance::kDeleteSymbolTitle, row.symbol));
  if (!step.ready())
    return kExitFailed;
  const maintenance::OpResult removed = maintenance::RemoveSymbol(dir, list.masterPath, row.symbol);
  if (!removed)
    return Fail(ctx, "The symbol could not be deleted", {removed.message});
  return kExitDone;
}

int RunTransfer(const Context& ctx, const path& dir, const std::string& typed, const path& dest,
                bool move) {
  SymbolList list;
  SymbolRow row;
  if (!OpenSymbol(ctx, dir, typed, list, row))
    return kExitFailed;
  const char* title = move ? maintenance::kMoveSymbolTitle : maintenance::kCopySymbolTitle;
  // The dialog offers only the other portfolios found.
  std::error_code ec;
  if (std::filesystem::equivalent(dir, dest, ec))
    return Fail(ctx, title, {"the destination is the portfolio the symbol is in"});
  if (!std::filesystem::is_directory(dest, ec) || !std::filesystem::exists(MasterPathOf(dest), ec))
    return Fail(ctx, title, {Shown(dest) + " is not a portfolio (it holds no MASTER)"});
  CorrectionStep step(ctx, dir, maintenance::StepLabel(title, row.symbol));
  if (!step.ready())
    return kExitFailed;
  const maintenance::AddResult result =
      maintenance::TransferSymbol(dir, list.masterPath, row.symbol, dest, move, ctx.prompt);
  // Refusals and failures were shown through the prompt.
  return result == maintenance::kAdded ? kExitDone : kExitFailed;
}

struct RenameOptions {
  std::string dir, symbol;
  std::optional<std::string> newSymbol, newName;
};

int RunRename(const Context& ctx, const RenameOptions& o) {
  SymbolList list;
  SymbolRow row;
  if (!OpenSymbol(ctx, ArgPath(o.dir), o.symbol, list, row))
    return kExitFailed;
  // The dialog starts with the row's symbol and its name without trailing blanks.
  std::string name = row.name;
  name.erase(name.find_last_not_of(" \t\r\n") + 1);
  const std::string newSymbol = o.newSymbol.value_or(row.symbol);
  const std::string newName = o.newName.value_or(name);
  if (newSymbol.empty())
    return Fail(ctx, maintenance::kMustEnterSymbol);
  std::vector<std::string> reasons;
  std::string reason;
  if (!TypedPlainText("--symbol", newSymbol, kSymbolFieldLength, &reason))
    reasons.push_back(reason);
  if (!TypedPlainText("--name", newName, kSymbolFieldLength, &reason))
    reasons.push_back(reason);
  if (!reasons.empty())
    return Fail(ctx, maintenance::kEditSymbolTitle, reasons);
  CorrectionStep step(ctx, ArgPath(o.dir),
                      maintenance::StepLabel(maintenance::kEditSymbolTitle, row.symbol));
  if (!step.ready())
    return kExitFailed;
  if (maintenance::RewriteSymbolRecord(list.masterPath, row.symbol, newSymbol, newName) != 0)
    return Fail(ctx, "The symbol could not be changed",
                {"the new " + Shown(list.masterPath) + " could not be written; it is unchanged"});
  return kExitDone;
}

}  // namespace

void AddSymbolCommands(CLI::App& app, CommandTable& table) {
  {
    auto dir = std::make_shared<std::string>();
    auto symbol = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand(
        "remove-symbol", "Delete a symbol: its MASTER record and its files (asks first)");
    sub->add_option("DIR", *dir, "portfolio directory")->required();
    sub->add_option("SYMBOL", *symbol, "symbol")->required();
    table.emplace_back(
        sub, [dir, symbol](const Context& ctx) { return RunRemove(ctx, ArgPath(*dir), *symbol); });
  }
  for (const bool move : {false, true}) {
    auto dir = std::make_shared<std::string>();
    auto symbol = std::make_shared<std::string>();
    auto dest = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand(move ? "move-symbol" : "copy-symbol",
                                       move ? "Move a symbol with its files to another portfolio"
                                            : "Copy a symbol with its files to another portfolio");
    sub->add_option("DIR", *dir, "portfolio directory")->required();
    sub->add_option("SYMBOL", *symbol, "symbol")->required();
    sub->add_option("DEST", *dest, "destination portfolio directory")->required();
    table.emplace_back(sub, [dir, symbol, dest, move](const Context& ctx) {
      return RunTransfer(ctx, ArgPath(*dir), *symbol, ArgPath(*dest), move);
    });
  }
  {
    auto o = std::make_shared<RenameOptions>();
    CLI::App* sub = app.add_subcommand(
        "rename-symbol", "Change a symbol's ticker and name in MASTER (MASTER.BAK is kept)");
    sub->add_option("DIR", o->dir, "portfolio directory")->required();
    sub->add_option("SYMBOL", o->symbol, "symbol")->required();
    auto* symbolOption =
        sub->add_option("--symbol", o->newSymbol, "the new symbol, stored as typed (at most 16)");
    auto* nameOption = sub->add_option("--name", o->newName, "the new name (at most 16)");
    // One of the two, at least: nothing else would change.
    auto* group = sub->add_option_group("change");
    group->add_option(symbolOption);
    group->add_option(nameOption);
    group->require_option(1, 2);
    table.emplace_back(sub, [o](const Context& ctx) { return RunRename(ctx, *o); });
  }
}

}  // namespace ledgrix::cli
