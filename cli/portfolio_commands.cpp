// portfolios, symbols, facts, split-search and repair: the commands that read a portfolio as a
// whole (repair is the one that writes, and only MASTER).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>

#include "cli/commands.h"
#include "cli/quote_access.h"
#include "formats/facts.h"
#include "formats/portfolio_index.h"
#include "formats/windows1252.h"
#include "maintenance/master_repair.h"
#include "maintenance/messages.h"
#include "maintenance/split_search.h"
#include "platform/files.h"
#include "platform/portfolio_walk.h"

namespace ledgrix::cli {

namespace {

// Text of a fixed-width field: up to a zero byte, trailing blanks removed, as UTF-8 (the files
// hold Windows-1252).
std::string FieldText(std::string text) {
  text = text.substr(0, text.find('\0'));
  text.erase(text.find_last_not_of(' ') + 1);
  return formats::Windows1252ToUtf8(text);
}

// Each directory the walk cannot read, on stderr as the walk meets it.
class UnreadableReport final : public platform::WalkObserver {
 public:
  explicit UnreadableReport(std::ostream& err) : err_(err) {}
  void EnterDirectory(const std::string&) override {}
  void FoundMaster(const std::string&, int) override {}
  void CannotRead(const std::string& dir, const std::string& reason) override {
    Report(err_, "cannot read " + dir + ": " + reason);
  }

 private:
  std::ostream& err_;
};

int RunPortfolios(const Context& ctx, const path& root) {
  // Listed as absolute paths; "/data/" names the same directory as "/data", and is listed as it.
  std::error_code ec;
  path start = std::filesystem::absolute(root, ec).lexically_normal();
  if (!start.has_filename() && start.has_relative_path())
    start = start.parent_path();
  std::vector<std::string> portfolios;
  UnreadableReport report(ctx.err);
  if (ec)
    report.CannotRead(Shown(root), ec.message());
  else
    portfolios = platform::WalkDrive(Shown(start), platform::WalkFilter{}, &report);
  std::sort(portfolios.begin(), portfolios.end(), SortedListLess);
  for (const std::string& dir : portfolios)
    ctx.out << dir << '\n';
  if (portfolios.empty()) {
    Report(ctx.err, "No master files found below " + Shown(root));
    return kExitFailed;
  }
  return kExitDone;
}

int RunSymbols(const Context& ctx, const path& dir) {
  SymbolList list;
  if (!OpenPortfolio(ctx, dir, list))
    return kExitFailed;
  for (const SymbolRow& row : list.rows)
    ctx.out << row.symbol << '\t' << FieldText(row.name) << '\n';
  return kExitDone;
}

int RunFacts(const Context& ctx, const path& dir, const std::string& typed) {
  SymbolList list;
  SymbolRow row;
  if (!OpenSymbol(ctx, dir, typed, list, row))
    return kExitFailed;
  formats::SeriesFacts facts;
  if (formats::ReadSeriesFacts(dir, row.symbol, facts) != 0)
    return Fail(ctx, maintenance::FactsUnreadableMessage(row.symbol));
  const std::array<std::string, maintenance::kFactsValueLabels.size()> values = {
      std::to_string(facts.fileNumber),
      std::to_string(facts.recordLength),
      std::to_string(facts.fieldCount),
      std::to_string(facts.quoteCount),
      FieldText(facts.issueName),
      Format("%6.0f", static_cast<double>(facts.firstDate)),
      Format("%6.0f", static_cast<double>(facts.lastDate)),
      facts.periodicityText,
      FieldText(facts.symbol),
      FieldText(facts.longName),
      facts.indexFile};
  std::ostream& out = ctx.out;
  out << maintenance::kFactsPathLabel << ": " << facts.path << '\n';
  for (std::size_t i = 0; i < values.size(); ++i)
    out << maintenance::kFactsValueLabels[i] << ": " << values[i] << '\n';
  const auto& columns = maintenance::kDopColumnLabels;
  out << '\n' << Format("%-6s %-12s %s", columns[0], columns[1], columns[2]) << '\n';
  for (std::size_t f = 0; f < maintenance::kDopFieldLabels.size(); ++f) {
    std::string line = Format("%-6s %-12s %s", maintenance::kDopFieldLabels[f],
                              facts.inputText[f].c_str(), facts.displayText[f].c_str());
    line.erase(line.find_last_not_of(' ') + 1);
    out << line << '\n';
  }
  return kExitDone;
}

int RunSplitSearch(const Context& ctx, const path& dir, const std::string& outputFile) {
  SymbolList list;
  if (!OpenPortfolio(ctx, dir, list))
    return kExitFailed;
  if (!outputFile.empty() && !MayReplace(ctx, ArgPath(outputFile)))
    return kExitFailed;

  std::vector<std::string> symbols;
  for (const SymbolRow& row : list.rows)
    if (!formats::IsDirectoryEntryName(row.name))  // a sub-portfolio, no symbol
      symbols.push_back(row.symbol);
  std::string results;
  std::string unreadable;
  maintenance::SplitSearchEvents events;
  events.onCandidate = [&](const std::string& line) {
    if (outputFile.empty()) {
      ctx.out << line << '\n' << std::flush;
    } else {
      results += line + '\n';
    }
  };
  events.onTooFewQuotes = [&](const std::string& message) { Report(ctx.err, message); };
  events.onReadError = [&](const std::string& symbol) { unreadable = symbol; };
  bool found = false;
  switch (maintenance::RunSplitSearch(dir, symbols, events, found)) {
    case maintenance::SplitSearchEnd::kNoStorage:
      return Fail(ctx, maintenance::kTooManyBars);
    case maintenance::SplitSearchEnd::kReadError:
      return Fail(ctx, maintenance::kSplitSearchReadError,
                  {"the quotes of " + unreadable + " cannot be read; the search stopped there"});
    case maintenance::SplitSearchEnd::kDone:
      break;
  }
  if (!found)
    Report(ctx.err, maintenance::kNoCandidateSplits);
  if (!outputFile.empty() && !WriteResultFile(ctx, ArgPath(outputFile), results,
                                              maintenance::SearchSaveFailedMessage(outputFile)))
    return kExitFailed;
  return kExitDone;
}

int RunRepair(const Context& ctx, const path& dir) {
  const path masterPath = MasterPathOf(dir);
  formats::PortfolioIndex index;
  if (!formats::ReadPortfolioIndex(dir, index))
    return Fail(ctx, "The master file cannot be read",
                {Shown(masterPath) + " is missing or shorter than its 53-byte header"});
  int blank = 0;
  for (const formats::MasterRecord& record : index.master.records)
    blank += record.hasBlankSymbol();
  const bool emaster = index.emaster == formats::IndexFileState::kUnusable;
  if (blank == 0 && !emaster) {
    Report(ctx.err, "The portfolio " + Shown(dir) + " needs no repair");
    return kExitDone;
  }
  // One step of the undo journal for the whole repair.
  CorrectionStep step(ctx, dir,
                      blank > 0 ? maintenance::kRepairTitle : maintenance::kRebuildEmasterTitle);
  if (!step.ready())
    return kExitFailed;
  if (blank > 0) {
    if (maintenance::RepairMaster(masterPath, false, ctx.prompt) == 0) {
      if (ctx.prompt.declined())
        return kExitFailed;
      return Fail(ctx, "The repair of " + Shown(masterPath) + " failed",
                  {"the repaired copy could not be written; MASTER is unchanged"});
    }
    Report(ctx.err, Format("Repaired %s: %d record(s) took their name as symbol",
                           Shown(masterPath).c_str(), blank));
  }
  if (emaster) {
    std::string error;
    if (maintenance::RebuildEmaster(dir, false, ctx.prompt, &error) == 0) {
      if (ctx.prompt.declined())
        return kExitFailed;
      return Fail(ctx, "The rebuild of " + Shown(index.emasterPath) + " failed",
                  {error, "EMASTER is unchanged"});
    }
    Report(ctx.err, "Rebuilt " + Shown(index.emasterPath) + " from MASTER (the previous " +
                        "file is kept as " + Shown(index.emasterPath.filename()) + ".BAK)");
  }
  return kExitDone;
}

}  // namespace

bool MayReplace(const Context& ctx, const path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec))
    return true;
  return ctx.prompt.AskYesNo(maintenance::ReplaceFileQuestion(Shown(file)));
}

bool WriteResultFile(const Context& ctx, const path& file, const std::string& bytes,
                     const std::string& failureText) {
  const platform::IoResult written = platform::WriteOutputFile(
      file, Shown(file.filename()) + ".~LX", std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  if (!written) {
    Fail(ctx, failureText, {written.message()});
    return false;
  }
  return true;
}

void AddPortfolioCommands(CLI::App& app, CommandTable& table) {
  {
    auto root = std::make_shared<std::string>(".");
    CLI::App* sub = app.add_subcommand(
        "portfolios", "List the directories below PATH that hold a MASTER file, sorted");
    sub->add_option("PATH", *root, "where to start (default: the current directory)");
    table.emplace_back(sub,
                       [root](const Context& ctx) { return RunPortfolios(ctx, ArgPath(*root)); });
  }
  {
    auto dir = std::make_shared<std::string>();
    CLI::App* sub =
        app.add_subcommand("symbols", "List the symbols of a portfolio: symbol and name per line");
    sub->add_option("DIR", *dir, "portfolio directory")->required();
    table.emplace_back(sub, [dir](const Context& ctx) { return RunSymbols(ctx, ArgPath(*dir)); });
  }
  {
    auto dir = std::make_shared<std::string>();
    auto symbol = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand("facts", "Show the facts of a symbol's quote series");
    sub->add_option("DIR", *dir, "portfolio directory")->required();
    sub->add_option("SYMBOL", *symbol, "symbol")->required();
    table.emplace_back(
        sub, [dir, symbol](const Context& ctx) { return RunFacts(ctx, ArgPath(*dir), *symbol); });
  }
  {
    auto dir = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand("split-search",
                                       "Search every symbol of a portfolio for unrecorded splits");
    sub->add_option("DIR", *dir, "portfolio directory")->required();
    sub->add_option("-o,--output", *output, "save the result lines in FILE instead of stdout");
    table.emplace_back(sub, [dir, output](const Context& ctx) {
      return RunSplitSearch(ctx, ArgPath(*dir), *output);
    });
  }
  {
    auto dir = std::make_shared<std::string>();
    CLI::App* sub = app.add_subcommand(
        "repair", "Give every MASTER record without a symbol its name as symbol (asks first)");
    sub->add_option("DIR", *dir, "portfolio directory")->required();
    table.emplace_back(sub, [dir](const Context& ctx) { return RunRepair(ctx, ArgPath(*dir)); });
  }
}

}  // namespace ledgrix::cli
