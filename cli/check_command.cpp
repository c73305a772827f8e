// check: the findings of the portfolio check, one a line, and with --fix its safe fixes.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>

#include "cli/commands.h"
#include "maintenance/check_fixes.h"
#include "maintenance/messages.h"
#include "maintenance/portfolio_check.h"

namespace ledgrix::cli {

namespace {

struct CheckArgs {
  std::string dir;
  bool fix = false;
  double tickPercent = maintenance::kDefaultTickPercent;
};

int RunCheck(const Context& ctx, const CheckArgs& args) {
  const path dir = ArgPath(args.dir);
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec))
    return Fail(ctx, "The portfolio cannot be checked", {Shown(dir) + " is no directory"});
  maintenance::CheckOptions options;
  options.tickThreshold = args.tickPercent / 100.0;
  maintenance::CheckResult result = maintenance::CheckPortfolio(dir, options);

  if (args.fix && result.hasFixes()) {
    const std::vector<std::string> fixes = maintenance::SafeFixLines(result);
    if (!ctx.prompt.AskYesNo(maintenance::SafeFixesQuestion(Shown(dir), fixes))) {
      Report(ctx.err, "No fix was made");
    } else {
      maintenance::FixOutcome outcome;
      {
        CorrectionStep step(ctx, dir, maintenance::kSafeFixesTitle);
        if (!step.ready())
          return kExitFailed;
        outcome = maintenance::ApplySafeFixes(dir, result);
      }
      for (const std::string& line : outcome.done)
        Report(ctx.err, line);
      if (!outcome.ok())
        Report(ctx.err, "Some fixes were not made", outcome.failures);
      result = maintenance::CheckPortfolio(dir, options);
    }
  }
  for (const maintenance::Finding& finding : result.findings)
    ctx.out << maintenance::FindingLine(finding) << '\n';
  return result.findings.empty() ? kExitDone : kExitFailed;
}

}  // namespace

void AddCheckCommands(CLI::App& app, CommandTable& table) {
  auto args = std::make_shared<CheckArgs>();
  CLI::App* sub = app.add_subcommand(
      "check",
      "Check a portfolio for damage: one finding a line (where, kind, detail); exit 1 "
      "when anything is found");
  sub->add_option("DIR", args->dir, "portfolio directory")->required();
  sub->add_flag("--fix", args->fix,
                "apply the safe fixes (asks first, or --yes), then print what is left");
  sub->add_option("--tick", args->tickPercent,
                  "percent a close must leave both neighbours by to be a bad tick (default 25)")
      ->check(CLI::Range(1.0, 1000.0));
  table.emplace_back(sub, [args](const Context& ctx) { return RunCheck(ctx, *args); });
}

}  // namespace ledgrix::cli
