#include "tests/cli/cli_runner.h"

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "formats/dates.h"

namespace ledgrix::testing {

namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'')
      quoted += "'\\''";
    else
      quoted += c;
  }
  return quoted + "'";
}

std::string ReadText(const path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& args, const std::string& stdinText) {
  TempDir io;
  WriteText(io / "in", stdinText);
  std::string command = Quoted(LEDGRIX_CLI_PATH);
  for (const std::string& arg : args)
    command += " " + Quoted(arg);
  command += " <" + Quoted((io / "in").string()) + " >" + Quoted((io / "out").string()) + " 2>" +
             Quoted((io / "err").string());
  const int raw = std::system(command.c_str());
  CliResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadText(io / "out");
  result.err = ReadText(io / "err");
  return result;
}

SymbolSpec Spec(std::uint8_t n, const std::string& symbol, const std::string& name,
                std::vector<Quote> quotes) {
  SymbolSpec spec;
  spec.fileNumber = n;
  spec.symbol = symbol;
  spec.name = name;
  spec.quotes = std::move(quotes);
  return spec;
}

path WriteSamplePortfolio(const path& dir) {
  const formats::QuoteDate monday = formats::DayFromYmd(98, 1, 5);
  auto quotes = [&](float base) {
    std::vector<Quote> list;
    for (int i = 0; i < 5; ++i) {
      const float p = base + static_cast<float>(i);
      list.push_back(Quote{static_cast<formats::QuoteDate>(monday + i), 0, p, p + 0.5f, p - 0.5f,
                           p + 0.25f, 1000.0f * static_cast<float>(i + 1), 50.0f});
    }
    return list;
  };
  SymbolSpec msft = Spec(1, "MSFT", "MICROSOFT");
  msft.quotes = quotes(100.0f);
  SymbolSpec ibm = Spec(2, "IBM", "INTL BUS MACH");
  ibm.quotes = quotes(80.0f);
  SymbolSpec aapl = Spec(3, "AAPL", "APPLE COMPUTER");
  aapl.fields = {formats::kDate, formats::kOpen,  formats::kHigh,
                 formats::kLow,  formats::kClose, formats::kVol};
  aapl.quotes = quotes(20.0f);
  std::filesystem::create_directories(dir);
  PortfolioBuilder(dir).Add(msft).Add(ibm).Add(aapl).Write();
  return dir;
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Snapshot(const path& dir) {
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (entry.is_regular_file())
      files.emplace_back(entry.path().lexically_relative(dir).string(), FileBytes(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace ledgrix::testing
