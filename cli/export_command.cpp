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
};

const std::map<std::string, int> kDelimiters = {{"space", 0}, {"comma", 1}, {"tab", 2}};
const std::map<std::string, int> kColumns = {{"open", 0},  {"high", 1},   {"low", 2},
                                             {"close", 3}, {"volume", 4}, {"oi", 5}};

int RunExport(const Context& ctx, const ExportCommandOptions& o) {
  // The command is offered for a symbol with quotes in a portfolio with symbols.
  LoadedSymbol loaded;
  if (!LoadSymbol(ctx, ArgPath(o.dir), o.symbol, true, loaded))
    return kExitFailed;
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
      "export", "Write a symbol's quotes as delimited text (\\r\\n line ends), to stdout or FILE");
  sub->add_option("DIR", o->dir, "portfolio directory")->required();
  sub->add_option("SYMBOL", o->symbol, "symbol")->required();
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
