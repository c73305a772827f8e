// Every write path run once for every file operation that can fail: whatever fails, MASTER and
// every quote file hold their complete old or complete new bytes, a run that did not complete
// says so, and no work file is left behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "formats/dates.h"
#include "formats/master.h"
#include "maintenance/master_repair.h"
#include "maintenance/quote_rewrite.h"
#include "maintenance/symbol_ops.h"
#include "platform/file_system.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/fixture.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using Bytes = std::vector<std::uint8_t>;
using std::filesystem::path;
using testing::PortfolioBuilder;
using testing::SymbolSpec;

// The files a fault must never leave half-written, by path relative to the test root.
using Image = std::map<std::string, Bytes>;

int g_faults = 0;
int g_filesCompared = 0;

SymbolSpec Spec(std::uint8_t n, const std::string& symbol, int quotes) {
  SymbolSpec spec;
  spec.fileNumber = n;
  spec.symbol = symbol;
  spec.name = symbol + " HOLDINGS";
  spec.quotes = testing::MakeDailyQuotes(formats::DayFromYmd(2001, 3, 5), quotes, 20.0f + n);
  return spec;
}

bool Watched(const std::string& name) {
  static const std::regex pattern("master|f[0-9]+\\.(dat|dop)", std::regex::icase);
  return std::regex_match(name, pattern);
}

bool WorkFile(const std::string& name, const std::vector<std::string>& extra) {
  static const std::regex pattern(".*\\.(new|~nu|~cp)", std::regex::icase);
  if (std::regex_match(name, pattern))
    return true;
  for (const std::string& e : extra) {
    if (std::regex_match(name, std::regex(e, std::regex::icase)))
      return true;
  }
  return false;
}

Image Snapshot(const path& root, const std::vector<std::string>& dirs) {
  Image image;
  for (const std::string& dir : dirs) {
    const path folder = dir.empty() ? root : root / dir;
    if (!std::filesystem::is_directory(folder))
      continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_regular_file() && Watched(name))
        image[(dir.empty() ? "" : dir + "/") + name] = testing::FileBytes(entry.path());
    }
  }
  return image;
}

std::vector<std::string> LeftoverWorkFiles(const path& root, const std::vector<std::string>& dirs,
                                           const std::vector<std::string>& extra) {
  std::vector<std::string> found;
  for (const std::string& dir : dirs) {
    const path folder = dir.empty() ? root : root / dir;
    if (!std::filesystem::is_directory(folder))
      continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (WorkFile(entry.path().filename().string(), extra))
        found.push_back(entry.path().filename().string());
    }
  }
  return found;
}

std::optional<Bytes> Find(const Image& image, const std::string& key) {
  auto it = image.find(key);
  if (it == image.end())
    return std::nullopt;
  return it->second;
}

struct Scenario {
  std::string name;
  std::function<void(const path&)> build;
  std::function<bool(const path&)> run;  // true when the operation reported success
  std::vector<std::string> dirs = {""};
  std::vector<std::string> extraWorkFiles;
  // For a move: the quote file that must exist complete in one place or the other.
  std::string sourceDat, destDat;
};

QuoteChange Change(std::int16_t op, formats::QuoteDate first, formats::QuoteDate last) {
  QuoteChange change;
  change.operation = op;
  change.firstDate = first;
  change.lastDate = last;
  change.values = {1.5f, 1.5f, 1.5f, 1.5f, 2.0f, 3.0f};
  return change;
}

// Two symbols; "QQ" (file 2) is the one the quote operations change.
void BuildQuotes(const path& root) {
  SymbolSpec target = Spec(2, "QQ", 12);
  target.firstDate = formats::DayFromYmd(2000, 1, 3);  // stale, so the delete of the only
  target.lastDate = formats::DayFromYmd(2000, 1, 4);   // quote changes MASTER too
  PortfolioBuilder(root).Add(Spec(1, "AA", 5)).Add(target).Write();
}

void BuildSingle(const path& root) {
  SymbolSpec target = Spec(2, "QQ", 1);
  target.firstDate = formats::DayFromYmd(2000, 1, 3);
  target.lastDate = formats::DayFromYmd(2000, 1, 4);
  PortfolioBuilder(root).Add(Spec(1, "AA", 5)).Add(target).Write();
}

formats::QuoteDate QuoteDay(int index) {
  return Spec(2, "QQ", 12).quotes[static_cast<std::size_t>(index)].date;
}

bool Apply(const path& root, const QuoteChange& change) {
  testing::ScriptedPrompt prompt;
  return ApplyQuoteChange(change, root, "QQ", prompt) == formats::kOk;
}

void BuildTwoPortfolios(const path& root) {
  PortfolioBuilder(root / "SRC").Add(Spec(1, "AA", 4)).Add(Spec(3, "MOVE", 6)).Write();
  testing::WriteText(root / "SRC" / "F3.BAK", "backup of the quotes");
  PortfolioBuilder(root / "DST").Add(Spec(1, "BB", 4)).Add(Spec(2, "CC", 4)).Write();
}

Scenario Make(std::string name, std::function<void(const path&)> build,
              std::function<bool(const path&)> run) {
  Scenario s;
  s.name = std::move(name);
  s.build = std::move(build);
  s.run = std::move(run);
  return s;
}

bool Transfer(const path& r, bool move) {
  testing::ScriptedPrompt prompt;
  return TransferSymbol(r / "SRC", r / "SRC" / "MASTER", "MOVE", r / "DST", move, prompt) == kAdded;
}

std::vector<Scenario> Scenarios() {
  std::vector<Scenario> s;
  s.push_back(Make("Set", BuildQuotes,
                   [](const path& r) { return Apply(r, Change(kSet, QuoteDay(4), QuoteDay(4))); }));
  s.push_back(Make("Scale", BuildQuotes,
                   [](const path& r) { return Apply(r, Change(kScale, 0, QuoteDay(7))); }));
  s.push_back(Make("Insert", BuildQuotes, [](const path& r) {
    return Apply(r, Change(kInsert, QuoteDay(5), QuoteDay(5)));
  }));
  s.push_back(Make("DeleteMiddle", BuildQuotes, [](const path& r) {
    return Apply(r, Change(kDelete, QuoteDay(6), QuoteDay(6)));
  }));
  s.push_back(Make("DeleteOldest", BuildQuotes, [](const path& r) {
    return Apply(r, Change(kDelete, QuoteDay(0), QuoteDay(0)));
  }));
  s.push_back(Make("DeleteNewest", BuildQuotes, [](const path& r) {
    return Apply(r, Change(kDelete, QuoteDay(11), QuoteDay(11)));
  }));
  s.push_back(Make("DeleteOnly", BuildSingle, [](const path& r) {
    return Apply(r, Change(kDelete, QuoteDay(0), QuoteDay(0)));
  }));
  s.push_back(Make("UpdateMasterDate", BuildQuotes, [](const path& r) {
    return UpdateMasterDate(r / "MASTER", formats::StoredFromDay(QuoteDay(3)), 2, true) == 0;
  }));
  Scenario repair = Make(
      "RepairMaster",
      [](const path& r) {
        formats::MasterRecord blank = testing::MakeMasterRecord(Spec(2, "", 0));
        blank.setIssueName("LOST SYMBOL NAME");
        PortfolioBuilder(r).Add(Spec(1, "AA", 3)).AddRawRecord(blank).Write();
      },
      [](const path& r) {
        testing::ScriptedPrompt prompt;
        return RepairMaster(r / "MASTER", true, prompt) != 0;
      });
  repair.extraWorkFiles = {"master\\.bak"};
  s.push_back(repair);
  s.push_back(Make("RemoveSymbol", BuildQuotes, [](const path& r) {
    return static_cast<bool>(RemoveSymbol(r, r / "MASTER", "QQ"));
  }));
  s.push_back(Make("RemoveRecordByNumber", BuildQuotes, [](const path& r) {
    return static_cast<bool>(RemoveRecordByNumber(r / "MASTER", 1));
  }));
  s.push_back(Make("RewriteSymbolRecord", BuildQuotes, [](const path& r) {
    return RewriteSymbolRecord(r / "MASTER", "QQ", "qq2", "Renamed") == 0;
  }));
  Scenario copy =
      Make("Copy", BuildTwoPortfolios, [](const path& r) { return Transfer(r, false); });
  copy.dirs = {"SRC", "DST"};
  s.push_back(copy);
  Scenario move = Make("Move", BuildTwoPortfolios, [](const path& r) { return Transfer(r, true); });
  move.dirs = {"SRC", "DST"};
  move.sourceDat = "SRC/F3.DAT";
  move.destDat = "DST/F3.DAT";
  s.push_back(move);
  return s;
}

struct Case {
  Scenario scenario;
  bool countReads;
};

class FaultInjectionTest : public ::testing::TestWithParam<Case> {};

TEST_P(FaultInjectionTest, EveryFileHoldsItsOldOrItsNewContent) {
  const Scenario& sc = GetParam().scenario;

  testing::TempDir clean;
  sc.build(clean.get());
  const Image before = Snapshot(clean.get(), sc.dirs);
  ASSERT_TRUE(sc.run(clean.get())) << "the operation fails without any fault";
  const Image after = Snapshot(clean.get(), sc.dirs);
  ASSERT_NE(before, after) << "the operation changes nothing";
  EXPECT_TRUE(LeftoverWorkFiles(clean.get(), sc.dirs, sc.extraWorkFiles).empty());

  int faults = 0;
  int compared = 0;
  bool completed = false;
  for (int k = 1; k < 1000 && !completed; ++k) {
    testing::TempDir dir;
    sc.build(dir.get());
    testing::FailingFileSystem fs(platform::RealFileSystem(), k);
    fs.setCountReads(GetParam().countReads);
    bool ok = false;
    {
      platform::ScopedFileSystem installed(fs);
      ok = sc.run(dir.get());
    }
    const Image now = Snapshot(dir.get(), sc.dirs);
    SCOPED_TRACE("fault at operation " + std::to_string(k));
    if (!fs.failed()) {
      completed = true;
      EXPECT_TRUE(ok);
      EXPECT_EQ(now, after);
      continue;
    }
    ++faults;
    if (ok) {
      EXPECT_EQ(now, after) << "success reported, but not every file holds its new content";
    }
    std::map<std::string, int> keys;
    for (const Image* image : {&before, &after, &now}) {
      for (const auto& [key, bytes] : *image)
        keys[key] = 0;
    }
    for (const auto& [key, unused] : keys) {
      const auto actual = Find(now, key);
      EXPECT_TRUE(actual == Find(before, key) || actual == Find(after, key))
          << key << " holds neither its old nor its new content";
      ++compared;
    }
    if (!sc.sourceDat.empty()) {
      // The moved quotes exist complete in at least one place.
      EXPECT_TRUE(Find(now, sc.sourceDat) == Find(before, sc.sourceDat) ||
                  Find(now, sc.destDat) == Find(after, sc.destDat));
    }
    const auto leftovers = LeftoverWorkFiles(dir.get(), sc.dirs, sc.extraWorkFiles);
    EXPECT_TRUE(leftovers.empty()) << "work file left: " << leftovers.front();
  }
  EXPECT_TRUE(completed);
  EXPECT_GT(faults, 0);
  g_faults += faults;
  g_filesCompared += compared;
  RecordProperty("faults", faults);
  RecordProperty("files_compared", compared);
}

std::vector<Case> Cases() {
  std::vector<Case> cases;
  for (bool reads : {false, true}) {
    for (const Scenario& s : Scenarios())
      cases.push_back({s, reads});
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(WritePaths, FaultInjectionTest, ::testing::ValuesIn(Cases()),
                         [](const auto& tp) {
                           return tp.param.scenario.name +
                                  (tp.param.countReads ? "_ReadsToo" : "_Writes");
                         });

// The totals for the record of this suite.
class Totals : public ::testing::Environment {
 public:
  void TearDown() override {
    std::printf("fault injection: %d runs with an injected fault, %d file images compared\n",
                g_faults, g_filesCompared);
  }
};

const auto* const kTotals = ::testing::AddGlobalTestEnvironment(new Totals);

}  // namespace
}  // namespace ledgrix::maintenance
