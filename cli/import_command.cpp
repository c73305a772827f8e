// import: quotes from a text file into a portfolio, as a new symbol or over an existing one's.
#include <CLI/CLI.hpp>

#include <memory>

#include "cli/commands.h"
#include "formats/quote_files.h"
#include "formats/windows1252.h"
#include "maintenance/messages.h"
#include "maintenance/quote_import.h"
#include "maintenance/quote_text.h"
#include "platform/files.h"

namespace ledgrix::cli {

namespace {

struct ImportOptions {
  std::string dir, symbol, file, name;
  bool merge = false;
  bool replace = false;
};

int RunImport(const Context& ctx, const ImportOptions& o) {
  const path dir = ArgPath(o.dir);
  std::vector<std::uint8_t> bytes;
  std::string error;
  if (!platform::ReadWholeFile(ArgPath(o.file), bytes, &error))
    return Fail(ctx, maintenance::kImportFailed,
                {maintenance::ImportReadFailedMessage(o.file, error)});
  maintenance::QuoteText text;
  std::vector<maintenance::TextProblem> problems;
  if (!maintenance::ReadQuoteText(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), text,
          problems))
    return Fail(ctx, maintenance::ImportTextProblemsMessage(
                         o.file, maintenance::DescribeProblems(problems)));
  for (const std::string& column : text.ignoredColumns)
    Report(ctx.err, "column \"" + column + "\" of " + o.file + " names no field; it is left out");

  const std::optional<std::string> name = formats::Utf8ToWindows1252(o.name);
  if (!name)
    return Fail(ctx, maintenance::kImportFailed,
                {"--name: " + maintenance::UnencodableMessage(formats::FirstUnencodable(o.name))});
  // The journal of a portfolio lives beside its real path: the directory comes first.
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec)
    return Fail(ctx, maintenance::kImportFailed,
                {maintenance::ImportWriteFailedMessage(Shown(dir), ec.message())});
  const maintenance::ImportMode mode = o.merge     ? maintenance::ImportMode::kMerge
                                       : o.replace ? maintenance::ImportMode::kReplace
                                                   : maintenance::ImportMode::kNewSymbol;
  CorrectionStep step(ctx, dir, maintenance::StepLabel(maintenance::kImportTitle, o.symbol));
  if (!step.ready())
    return kExitFailed;
  const maintenance::ImportOutcome outcome =
      maintenance::ImportQuotes(dir, o.symbol, *name, text, mode);
  if (!outcome.ok)
    return Fail(ctx, maintenance::kImportFailed, {outcome.message});
  ctx.out << maintenance::ImportDoneMessage(
                 outcome.quotes, outcome.symbol,
                 formats::QuoteFileName(outcome.key.fileNumber,
                                        formats::QuoteExtension(outcome.key.fileNumber)))
          << (outcome.createdPortfolio ? ", a new portfolio" : "") << "\n";
  return kExitDone;
}

}  // namespace

void AddImportCommands(CLI::App& app, CommandTable& table) {
  auto o = std::make_shared<ImportOptions>();
  CLI::App* sub = app.add_subcommand(
      "import",
      "Read quotes from a text file (CSV, semicolon, tab or blank separated) into SYMBOL of DIR; "
      "DIR's portfolio is created when it has no MASTER");
  sub->add_option("DIR", o->dir, "portfolio directory")->required();
  sub->add_option("SYMBOL", o->symbol, "symbol (new unless --merge or --replace)")->required();
  sub->add_option("FILE", o->file, "text file of quotes")->required()->check(CLI::ExistingFile);
  sub->add_option("--name", o->name, "the symbol's name (a new symbol's, or a new one for it)");
  auto* merge = sub->add_flag(
      "--merge", o->merge, "into an existing symbol: add the dates it lacks, replace the others");
  auto* replace =
      sub->add_flag("--replace", o->replace, "into an existing symbol: replace all its quotes");
  merge->excludes(replace);
  table.emplace_back(sub, [o](const Context& ctx) { return RunImport(ctx, *o); });
}

}  // namespace ledgrix::cli
