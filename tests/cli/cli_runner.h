// Runs the built ledgrix-cli and collects what it printed and its exit status.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/fixture.h"

namespace ledgrix::testing {

struct CliResult {
  int status = -1;
  std::string out;  // stdout
  std::string err;  // stderr
};

// A symbol of file number n.
SymbolSpec Spec(std::uint8_t n, const std::string& symbol, const std::string& name,
                std::vector<Quote> quotes = {});

// Where the runs of one test program keep their undo journals.
const path& CliStateDir();

// args after the program name; stdin reads stdinText (never a terminal).
CliResult RunCli(const std::vector<std::string>& args, const std::string& stdinText = "");

// The three-symbol portfolio most tests start from: MSFT, IBM and AAPL in that file order,
// five daily quotes each from Monday 01/05/98 on (AAPL: file F3 without open interest).
path WriteSamplePortfolio(const path& dir);

// Every file of dir (names and bytes), for "nothing changed" checks; without the .BAK copies the
// corrections leave when backups is false.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Snapshot(const path& dir,
                                                                        bool backups = true);

// A whole file as text (empty when it does not exist).
std::string Text(const path& file);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// MM/DD/YY of a YYYYMMDD date, as the independent reader gives it.
std::string DateText(long yyyymmdd);

// A command that must fail: its exit status, and texts that stderr holds.
struct Refusal {
  std::vector<std::string> args;
  std::vector<std::string> texts;
  int status = 1;
};
// Runs each case in turn: status and texts as given, nothing on stdout, no file below dirs changed.
void ExpectRefusals(const std::vector<Refusal>& cases, const std::vector<path>& dirs);

}  // namespace ledgrix::testing
