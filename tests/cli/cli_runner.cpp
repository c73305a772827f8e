#include "tests/cli/cli_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "formats/dates.h"
#include "platform/paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace ledgrix::testing {

namespace {

#ifdef _WIN32

// One argument as CommandLineToArgvW reads it back.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos)
    return arg;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

HANDLE Inherited(const path& file, bool write) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return ::CreateFileW(file.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ,
                       &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

int Run(const std::vector<std::string>& args, const path& in, const path& out, const path& err) {
  // Undo journals go to a folder of the test run's own; the program inherits the variable.
  ::SetEnvironmentVariableW(L"LOCALAPPDATA", CliStateDir().c_str());
  std::wstring command = Quoted(platform::PathFromUtf8(LEDGRIX_CLI_PATH).native());
  for (const std::string& arg : args)
    command += L" " + Quoted(platform::PathFromUtf8(arg).native());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = Inherited(in, false);
  startup.hStdOutput = Inherited(out, true);
  startup.hStdError = Inherited(err, true);
  PROCESS_INFORMATION process{};
  DWORD status = static_cast<DWORD>(-1);
  if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  }
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
    ::CloseHandle(handle);
  return static_cast<int>(status);
}

#else

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int Run(const std::vector<std::string>& args, const path& in, const path& out, const path& err) {
  // Undo journals go to a folder of the test run's own, never below the real home.
  const std::string state = Quoted(CliStateDir().string());
  std::string command =
      "XDG_STATE_HOME=" + state + " LOCALAPPDATA=" + state + " " + Quoted(LEDGRIX_CLI_PATH);
  for (const std::string& arg : args)
    command += " " + Quoted(arg);
  command +=
      " <" + Quoted(in.string()) + " >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

}  // namespace

std::string Text(const path& file) {
  const auto bytes = FileBytes(file);
  return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

std::string DateText(long yyyymmdd) {
  char text[16];
  std::snprintf(text, sizeof text, "%02ld/%02ld/%02ld", yyyymmdd / 100 % 100, yyyymmdd % 100,
                yyyymmdd / 10000 % 100);
  return text;
}

const path& CliStateDir() {
  static const TempDir state;
  return state.get();
}

CliResult RunCli(const std::vector<std::string>& args, const std::string& stdinText) {
  TempDir io;
  WriteText(io / "in", stdinText);
  const int status = Run(args, io / "in", io / "out", io / "err");
  return CliResult{status, Text(io / "out"), Text(io / "err")};
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
  auto quotes = [](float base) {
    std::vector<Quote> list;
    for (int i = 0; i < 5; ++i) {
      const float p = base + static_cast<float>(i);
      list.push_back(Quote{static_cast<formats::QuoteDate>(formats::DayFromYmd(98, 1, 5) + i), 0, p,
                           p + 0.5f, p - 0.5f, p + 0.25f, 1000.0f * static_cast<float>(i + 1),
                           50.0f});
    }
    return list;
  };
  SymbolSpec aapl = Spec(3, "AAPL", "APPLE COMPUTER", quotes(20.0f));
  aapl.fields.pop_back();  // no open interest
  std::filesystem::create_directories(dir);
  PortfolioBuilder(dir)
      .Add(Spec(1, "MSFT", "MICROSOFT", quotes(100.0f)))
      .Add(Spec(2, "IBM", "INTL BUS MACH", quotes(80.0f)))
      .Add(aapl)
      .Write();
  return dir;
}

std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Snapshot(const path& dir,
                                                                        bool backups) {
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    const std::string name = entry.path().lexically_relative(dir).string();
    const bool backup = name.ends_with(".BAK") || name.ends_with(".bak");
    if (entry.is_regular_file() && (backups || !backup))
      files.emplace_back(name, FileBytes(entry.path()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

void ExpectRefusals(const std::vector<Refusal>& cases, const std::vector<path>& dirs) {
  for (const Refusal& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    std::vector<decltype(Snapshot(dirs[0]))> before;
    for (const path& dir : dirs)
      before.push_back(Snapshot(dir));
    const CliResult r = RunCli(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, "");
    for (const std::string& text : c.texts)
      EXPECT_NE(r.err.find(text), std::string::npos) << text << " in:\n" << r.err;
    for (std::size_t i = 0; i < dirs.size(); ++i)
      EXPECT_EQ(Snapshot(dirs[i]), before[i]) << dirs[i];
  }
}

}  // namespace ledgrix::testing
