// ledgrix-cli: every correction of the GUI, for scripts, scheduled jobs and machines without a
// display. Results go to stdout, messages to stderr.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After <windows.h>:
#include <shellapi.h>
#else
#include <unistd.h>
#endif

namespace {

bool StdinIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdin)) != 0;
#else
  return ::isatty(STDIN_FILENO) != 0;
#endif
}

// The arguments after the program name, last first (as CLI11 takes them), in UTF-8: on Windows
// from the wide command line, so that no name passes through the ANSI code page.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  for (int i = 1; wide && i < count; ++i)
    args.push_back(ledgrix::cli::Shown(ledgrix::cli::path(wide[i])));
  ::LocalFree(wide);
#else
  for (int i = 1; i < argc; ++i)
    args.emplace_back(argv[i]);
#endif
  std::reverse(args.begin(), args.end());
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ledgrix::cli;
#ifdef _WIN32
  // Output goes out byte for byte as on every other system (the export's "\r\n" line ends as
  // they are, messages with "\n"), and names as UTF-8.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  ::SetConsoleOutputCP(CP_UTF8);
#endif
  CLI::App app{"ledgrix-cli: browse and correct MetaStock / CompuTrac quote data", "ledgrix-cli"};
  app.set_version_flag("--version", "ledgrix-cli " LEDGRIX_VERSION);
  app.require_subcommand(1, 1);
  app.fallthrough();
  bool yes = false;
  app.add_flag("-y,--yes", yes,
               "answer Yes to every question (needed for questions when stdin is no terminal)");

  bool noUndo = false;
  app.add_flag("--no-undo", noUndo,
               "make corrections without recording them in the portfolio's undo journal");
  std::uint64_t undoLimit = ledgrix::maintenance::kDefaultUndoLimit >> 20;
  app.add_option("--undo-limit", undoLimit,
                 "MiB of file contents the undo journal keeps per portfolio (default 64)")
      ->check(CLI::PositiveNumber);

  CommandTable table;
  AddPortfolioCommands(app, table);
  AddQuoteCommands(app, table);
  AddExportCommands(app, table);
  AddSymbolCommands(app, table);
  AddUndoCommands(app, table);

  try {
    std::vector<std::string> args = Arguments(argc, argv);
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kExitDone : kExitUsage;
  }

  TerminalPrompt prompt(yes, StdinIsTerminal(), std::cin, std::cerr);
  const Context ctx{yes, std::cout, std::cerr, prompt, noUndo, undoLimit << 20};
  for (const auto& [sub, action] : table) {
    if (!sub->parsed())
      continue;
    try {
      const int code = action(ctx);
      std::cout.flush();
      ReportUnconfirmedChanges(std::cerr);
      return code;
    } catch (const std::exception& e) {
      Report(std::cerr, "Unexpected failure", {e.what()});
      return kExitFailed;
    }
  }
  return kExitUsage;
}
