// export: a symbol's quotes as delimited text, in the file format of the Export dialog.
#include <CLI/CLI.hpp>

#include <map>
#include <sstream>

#include "cli/commands.h"
#include "cli/quote_access.h"
#include "maintenance/export.h"
#include "maintenance/messages.h"

namespace ledgrix::cli {

namespace {

struct ExportCommandOptions {
  std::string dir, symbol, output;
  int delimiter = 0;
  std::vector<std::string> omit;
  bool newestFirst = false;
  bool title = false;
  bool all = false;
};

const std::map<std::string, int> kDelimiters = {{"space", 0}, {"comma", 1}, {"tab", 2}};
const std::map<std::string, int> kColumns = {{"open", 0},  {"high", 1},   {"low", 2},
                                             {"close", 3}, {"volume", 4}, {"oi", 5}};

maintenance::ExportOptions OptionsOf(const ExportCommandOptions& o) {
  maintenance::ExportOptions options;
  options.delimiter = o.delimiter;
  for (std::string column : o.omit) {
    for (char& c : column)
      c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (const auto it = kColumns.find(column); it != kColumns.end())
      options.omit[static_cast<std::size_t>(it->second)] = true;
  }
  options.newestFirst = o.newestFirst;
  options.title = o.title;
  return options;
}

// Every symbol of the portfolio in one text; the symbols that cannot be read are named, and the
// command fails, but the others are written.
int RunExportAll(const Context& ctx, const ExportCommandOptions& o) {
  const maintenance::ExportOptions options = OptionsOf(o);
  std::vector<maintenance::UnreadableSymbol> unreadable;
  const auto failures = [&] {
    std::vector<std::string> reasons;
    for (const maintenance::UnreadableSymbol& u : unreadable)
      reasons.push_back(u.symbol + ": " + StatusReason(u.status));
    return reasons;
  };
  const path dir = ArgPath(o.dir);
  if (!std::filesystem::exists(MasterPathOf(dir)))
    return Fail(ctx, maintenance::kFileExportError,
                {Shown(dir) + " is not a portfolio (it holds no MASTER)"});
  if (o.output.empty()) {
    const formats::StatusCode status =
        maintenance::ExportPortfolio(dir, options, ctx.out, unreadable);
    if (status != formats::kOk)
      return Fail(ctx, maintenance::kFileExportError, {StatusReason(status)});
    return unreadable.empty() ? kExitDone : Fail(ctx, maintenance::kFileExportError, failures());
  }
  if (!MayReplace(ctx, ArgPath(o.output)))
    return kExitFailed;
  std::ostringstream text(std::ios::binary);
  const formats::StatusCode status = maintenance::ExportPortfolio(dir, options, text, unreadable);
  if (status != formats::kOk)
    return Fail(ctx, maintenance::kFileExportError, {StatusReason(status)});
  if (!WriteResultFile(ctx, ArgPath(o.output), text.str(), maintenance::kFileExportError))
    return kExitFailed;
  return unreadable.empty() ? kExitDone : Fail(ctx, maintenance::kFileExportError, failures());
}

int RunExport(const Context& ctx, const ExportCommandOptions& o) {
  if (o.all == !o.symbol.empty()) {
    Report(ctx.err, "export: name a SYMBOL or give --all, not both");
    return kExitUsage;
  }
  if (o.all)
    return RunExportAll(ctx, o);
  // The command is offered for a symbol with quotes in a portfolio with symbols.
  LoadedSymbol loaded;
  if (!LoadSymbol(ctx, ArgPath(o.dir), o.symbol, true, loaded))
    return kExitFailed;
  const maintenance::ExportOptions options = OptionsOf(o);

  if (o.output.empty()) {
    const formats::StatusCode status =
        maintenance::ExportQuotes(loaded.dir, loaded.row.symbol, options, ctx.out);
    ctx.out.flush();
    if (status != formats::kOk || !ctx.out)
      return Fail(ctx, maintenance::kFileExportError,
                  {loaded.row.symbol + ": " +
                   StatusReason(status != formats::kOk ? status : formats::kFileWrite)});
    return kExitDone;
  }
  if (!MayReplace(ctx, ArgPath(o.output)))
    return kExitFailed;
  // The whole text first: a failed read leaves an existing file as it was.
  std::ostringstream text(std::ios::binary);
  const formats::StatusCode status =
      maintenance::ExportQuotes(loaded.dir, loaded.row.symbol, options, text);
  if (status != formats::kOk)
    return Fail(ctx, maintenance::kFileExportError,
                {loaded.row.symbol + ": " + StatusReason(status)});
  return WriteResultFile(ctx, ArgPath(o.output), text.str(), maintenance::kFileExportError)
             ? kExitDone
             : kExitFailed;
}

}  // namespace

void AddExportCommands(CLI::App& app, CommandTable& table) {
  auto o = std::make_shared<ExportCommandOptions>();
  CLI::App* sub = app.add_subcommand(
      "export",
      "Write a symbol's quotes, or every symbol's (--all), as delimited text (\\r\\n line ends), "
      "to stdout or FILE");
  sub->add_option("DIR", o->dir, "portfolio directory")->required();
  sub->add_option("SYMBOL", o->symbol, "symbol");
  sub->add_flag("--all", o->all,
                "every symbol of DIR's MASTER and XMASTER, one line a quote led by the symbol");
  sub->add_option("-o,--output", o->output, "the file to write (default: stdout)");
  sub->add_option("--delim", o->delimiter, "column delimiter: space (default), comma or tab")
      ->transform(CLI::CheckedTransformer(kDelimiters, CLI::ignore_case));
  sub->add_option("--omit", o->omit, "columns to leave out: open,high,low,close,volume,oi")
      ->delimiter(',')
      ->check(CLI::IsMember(kColumns, CLI::ignore_case));
  sub->add_flag("--newest-first", o->newestFirst, "newest quote first (default: oldest first)");
  sub->add_flag("--title", o->title, "first a title line: DATE OPEN HIGH LOW CLOSE VOL OI");
  table.emplace_back(sub, [o](const Context& ctx) { return RunExport(ctx, *o); });
}

}  // namespace ledgrix::cli
