// remove-symbol, copy-symbol, move-symbol and rename-symbol: the Symbol menu's commands.
#include <CLI/CLI.hpp>

#include <optional>

#include "cli/commands.h"
#include "cli/quote_access.h"
#include "formats/portfolio_index.h"
#include "formats/windows1252.h"
#include "maintenance/messages.h"
#include "maintenance/symbol_ops.h"

namespace ledgrix::cli {

namespace {

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
  // The entry the row shows; a directory entry by its text, as it names no files.
  const maintenance::OpResult removed =
      row.isDirectory ? maintenance::RemoveSymbol(dir, list.masterPath, row.symbol)
                      : maintenance::RemoveSymbol(dir, row.key);
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

// A typed text as the files' bytes; false with the reason when it is too long (in characters)
// or holds a character Windows-1252 cannot hold.
bool TypedFieldBytes(std::string_view option, const std::string& text, std::size_t limit,
                     std::string& bytes, std::vector<std::string>& reasons) {
  const std::optional<std::string> encoded = formats::Utf8ToWindows1252(text);
  if (!encoded) {
    const std::string bad = formats::FirstUnencodable(text);
    reasons.push_back(std::string(option) + ": " +
                      (bad.empty() ? std::string("the text is not UTF-8")
                                   : maintenance::UnencodableMessage(bad)));
    return false;
  }
  if (encoded->size() > limit) {
    reasons.push_back(std::string(option) + " \"" + text + "\": at most " + std::to_string(limit) +
                      " characters");
    return false;
  }
  bytes = *encoded;
  return true;
}

int RunRename(const Context& ctx, const RenameOptions& o) {
  SymbolList list;
  SymbolRow row;
  if (!OpenSymbol(ctx, ArgPath(o.dir), o.symbol, list, row))
    return kExitFailed;
  if (row.isDirectory)
    return Fail(ctx, "Edit Symbol", {row.symbol + " is a directory entry, not a symbol"});
  // The dialog starts with the row's symbol and its name without trailing blanks; a name not
  // given keeps its bytes.
  std::string name = row.name;
  name.erase(name.find_last_not_of(" \t\r\n") + 1);
  std::string newSymbol = row.symbol;
  std::string newName = name;
  std::vector<std::string> reasons;
  if (o.newSymbol) {
    if (o.newSymbol->empty())
      return Fail(ctx, maintenance::kMustEnterSymbol);
    TypedFieldBytes("--symbol", *o.newSymbol, formats::kMaxSymbolLength, newSymbol, reasons);
  }
  if (o.newName)
    TypedFieldBytes("--name", *o.newName, row.nameLimit, newName, reasons);
  if (!reasons.empty())
    return Fail(ctx, maintenance::kEditSymbolTitle, reasons);
  CorrectionStep step(ctx, ArgPath(o.dir),
                      maintenance::StepLabel(maintenance::kEditSymbolTitle, row.symbol));
  if (!step.ready())
    return kExitFailed;
  const maintenance::OpResult renamed =
      maintenance::RenameSymbol(list.masterPath.parent_path(), row.key, newSymbol, newName);
  if (!renamed)
    return Fail(ctx, "The symbol could not be changed", {renamed.message});
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
        "rename-symbol",
        "Change a symbol's ticker and name in its index files (MASTER.BAK and the like are kept)");
    sub->add_option("DIR", o->dir, "portfolio directory")->required();
    sub->add_option("SYMBOL", o->symbol, "symbol")->required();
    auto* symbolOption =
        sub->add_option("--symbol", o->newSymbol, "the new symbol, stored as typed (at most 14)");
    auto* nameOption =
        sub->add_option("--name", o->newName,
                        "the new name (at most 45 where the symbol has a long name, else 16)");
    // One of the two, at least: nothing else would change.
    auto* group = sub->add_option_group("change");
    group->add_option(symbolOption);
    group->add_option(nameOption);
    group->require_option(1, 2);
    table.emplace_back(sub, [o](const Context& ctx) { return RunRename(ctx, *o); });
  }
}

}  // namespace ledgrix::cli
