// The undo journal: every kind of correction undone and redone byte for byte, refusals after an
// outside change, the size bound, and where the journal lives.
#include "maintenance/undo_journal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "maintenance/master_repair.h"
#include "maintenance/messages.h"
#include "maintenance/symbol_ops.h"
#include "tests/maintenance/helpers.h"
#include "tests/support/scripted_prompt.h"

namespace ledgrix::maintenance {
namespace {

using std::filesystem::path;
using State = UndoStep::State;

// Every portfolio file below root but the journal's own, without work files and backups.
std::map<std::string, Bytes> Content(const path& root) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const path relative = entry.path().lexically_relative(root);
    if (*relative.begin() != "state" && entry.is_regular_file() &&
        journal::IsPortfolioContent(entry.path()))
      files[relative.generic_string()] = FileBytes(entry.path());
  }
  return files;
}

// SRC: AA, BB, a sub-portfolio with SUBX and a record without symbol; DST: CC. The journal is
// SRC's, below root/state.
struct Sandbox {
  Sandbox() {
    PortfolioBuilder(Src() / "SUB").Add(Spec(1, "SUBX", 4)).Write();
    formats::MasterRecord blank = testing::MakeMasterRecord(Spec(5, "", 2));
    blank.setIssueName("LOST SYMBOL");
    PortfolioBuilder(Src())
        .AddAll({Spec(1, "AA", 6), Spec(2, "BB", 5)})
        .AddDirectoryEntry("SUB")
        .AddRawRecord(blank)
        .Write();
    PortfolioBuilder(Dst()).Add(Spec(1, "CC", 3)).Write();
  }
  path Src() const { return root.get() / "SRC"; }
  path Dst() const { return root.get() / "DST"; }
  path Master() const { return Src() / "MASTER"; }
  UndoJournal Journal(std::uint64_t limit = kDefaultUndoLimit) const {
    return UndoJournal(root.get() / "state", Src(), limit);
  }
  // Runs a correction inside one step; true when it reported success.
  bool Correct(const std::string& label, const std::function<bool()>& correction,
               std::uint64_t limit = kDefaultUndoLimit) {
    const UndoJournal journal = Journal(limit);
    JournalStep step(&journal, label);
    EXPECT_TRUE(step.ready()) << step.error();
    const bool ok = correction();
    step.Commit();
    return ok;
  }
  bool Quotes(std::int16_t op, QuoteDate first, QuoteDate last, std::string symbol = "AA") {
    return ApplyQuoteChange(Change(op, first, last, {2, 2, 2, 2, 0.5f, 3}), Src(), symbol,
                            prompt) == formats::kOk;
  }
  bool Transfer(const char* symbol, bool move) {
    return TransferSymbol(Src(), Master(), symbol, Dst(), move, prompt) == kAdded;
  }
  std::vector<std::string> Labels() const {
    std::vector<std::string> labels;
    for (const UndoStep& step : Journal().History())
      labels.push_back(step.label);
    return labels;
  }
  TempDir root;
  testing::ScriptedPrompt prompt{{}, true};
};

class UndoJournalTest : public ::testing::Test, public Sandbox {};

QuoteDate Day(int k) {
  return kMonday + static_cast<QuoteDate>(k);  // the first week's weekdays
}

TEST(UndoJournal, EveryCorrectionIsUndoneAndRedoneByteForByte) {
  const struct {
    const char* label;
    std::function<bool(Sandbox&)> run;
  } cases[] = {
      {"edit", [](auto& t) { return t.Quotes(kSet, Day(2), Day(2)); }},
      {"split", [](auto& t) { return t.Quotes(kScale, 0, Day(3)); }},
      {"adjust", [](auto& t) { return t.Quotes(kScale, Day(1), Day(2), "BB"); }},
      {"add", [](auto& t) { return t.Quotes(kInsert, Day(7), Day(7)); }},
      {"delete oldest", [](auto& t) { return t.Quotes(kDelete, Day(0), Day(0)); }},
      {"delete in a sub-portfolio",
       [](auto& t) { return t.Quotes(kDelete, Day(0), Day(0), "SUBX"); }},
      {"symbol edit",
       [](auto& t) { return RewriteSymbolRecord(t.Master(), "BB", "b2", "N") == 0; }},
      {"symbol delete", [](auto& t) { return RemoveSymbol(t.Src(), t.Master(), "BB").ok; }},
      {"move", [](auto& t) { return t.Transfer("AA", true); }},
      {"copy", [](auto& t) { return t.Transfer("BB", false); }},
      {"repair", [](auto& t) { return RepairMaster(t.Master(), true, t.prompt) != 0; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Sandbox t;
    const auto before = Content(t.root.get());
    ASSERT_TRUE(t.Correct(c.label, [&] { return c.run(t); }));
    const auto after = Content(t.root.get());
    ASSERT_NE(before, after);
    EXPECT_EQ(t.Journal().UndoLabel(), c.label);

    for (int round = 0; round < 2; ++round) {
      const UndoOutcome undone = t.Journal().Undo();
      EXPECT_TRUE(undone.ok()) << undone.message;
      EXPECT_EQ(Content(t.root.get()), before);
      EXPECT_EQ(t.Journal().History().at(0).state, State::kUndone);
      const UndoOutcome redone = t.Journal().Redo();
      EXPECT_TRUE(redone.ok()) << redone.message;
      EXPECT_EQ(Content(t.root.get()), after);
    }
  }
}

TEST_F(UndoJournalTest, StepsAreTakenBackNewestFirstAndANewStepEndsTheRedoBranch) {
  ASSERT_TRUE(Correct("one", [&] { return Quotes(kSet, Day(1), Day(1)); }));
  const auto afterOne = Content(root.get());
  ASSERT_TRUE(Correct("two", [&] { return Quotes(kScale, 0, Day(4)); }));
  EXPECT_EQ(Labels(), (std::vector<std::string>{"two", "one"}));

  EXPECT_EQ(Journal().Undo().label, "two");
  EXPECT_EQ(Content(root.get()), afterOne);
  EXPECT_EQ(Journal().RedoLabel(), "two");
  EXPECT_EQ(Journal().UndoLabel(), "one");

  ASSERT_TRUE(Correct("three", [&] { return Quotes(kDelete, Day(3), Day(3), "BB"); }));
  EXPECT_EQ(Labels(), (std::vector<std::string>{"three", "one"}));
  EXPECT_EQ(Journal().RedoLabel(), std::nullopt);
  EXPECT_EQ(Journal().Redo().kind, UndoOutcome::Kind::kNothing);
}

// A portfolio file changed from outside, or a damaged journal record or kept copy: the undo is
// refused, names the file and changes nothing.
TEST(UndoJournal, ARefusedUndoNamesTheFileAndChangesNothing) {
  const struct {
    const char* what;
    const char* file;  // of the portfolio, or of the journal's folder
    bool ofJournal;
    State listed;
  } cases[] = {{"outside change", "F1.DAT", false, State::kDone},
               {"record", "00000001.step", true, State::kUnreadable},
               {"old bytes", "00000001-1.bin", true, State::kDone}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Sandbox t;
    ASSERT_TRUE(t.Correct("split", [&] { return t.Quotes(kScale, 0, Day(3)); }));
    const path damaged = (c.ofJournal ? t.Journal().Directory(false, nullptr) : t.Src()) / c.file;
    testing::WriteText(damaged, "ledgrix undo step 1\nlabel spl");
    const auto held = Content(t.root.get());
    EXPECT_EQ(t.Journal().History().at(0).state, c.listed);
    const UndoOutcome undo = t.Journal().Undo();
    EXPECT_EQ(undo.kind, UndoOutcome::Kind::kRefused);
    EXPECT_NE(undo.message.find(damaged.string()), std::string::npos) << undo.message;
    EXPECT_EQ(Content(t.root.get()), held);
  }
}

TEST_F(UndoJournalTest, AFilePutBackIsUndoneAndOneReplacedSinceRefusesTheRedo) {
  ASSERT_TRUE(Correct("split", [&] { return Quotes(kScale, 0, Day(3)); }));
  const path dat = Src() / "F1.DAT";
  const Bytes split = FileBytes(dat);
  testing::WriteText(dat, "changed by another program");
  const UndoOutcome refused = Journal().Undo();
  EXPECT_EQ(refused.message, UndoRefusedMessage(false, "split", dat.string()));
  testing::WriteBytes(dat, split);
  ASSERT_TRUE(Journal().Undo().ok());
  testing::WriteText(dat, "replaced by another program");
  const auto replaced = Content(root.get());
  EXPECT_EQ(Journal().Redo().kind, UndoOutcome::Kind::kRefused);
  EXPECT_EQ(Content(root.get()), replaced);
}

TEST_F(UndoJournalTest, AStepThatChangedNothingLeavesNoTrace) {
  // The delete of a day that is not there is refused before anything is written.
  EXPECT_FALSE(Correct("missing day", [&] { return Quotes(kDelete, Day(5), Day(5)); }));
  // An identity adjust writes the same bytes again.
  ASSERT_TRUE(Correct("identity", [&] {
    return ApplyQuoteChange(Change(kScale, 0, Day(9), {1, 1, 1, 1, 1, 1}), Src(), "AA", prompt) ==
           formats::kOk;
  }));
  EXPECT_TRUE(Journal().History().empty());
  EXPECT_EQ(Journal().Undo().kind, UndoOutcome::Kind::kNothing);
}

TEST_F(UndoJournalTest, AFileChangedTwiceInOneStepIsUndoneFromEitherContent) {
  Bytes between;
  ASSERT_TRUE(Correct("twice", [&] {
    const bool first = Quotes(kSet, Day(1), Day(1));
    between = FileBytes(Src() / "F1.DAT");
    return first && Quotes(kSet, Day(2), Day(2));
  }));
  ASSERT_TRUE(Journal().Undo().ok());
  const auto before = Content(root.get());
  ASSERT_TRUE(Journal().Redo().ok());
  // As a cut-off step would leave it.
  testing::WriteBytes(Src() / "F1.DAT", between);
  ASSERT_TRUE(Journal().Undo().ok());
  EXPECT_EQ(Content(root.get()), before);
}

TEST_F(UndoJournalTest, TheOldestStepsGoWhenTheJournalOutgrowsItsLimit) {
  const std::uint64_t oneStep = 2 * std::filesystem::file_size(Src() / "F1.DAT");
  for (int k = 1; k <= 4; ++k) {
    ASSERT_TRUE(Correct(
        "set " + std::to_string(k), [&] { return Quotes(kSet, Day(k), Day(k)); }, 2 * oneStep + 1));
  }
  EXPECT_EQ(Labels(), (std::vector<std::string>{"set 4", "set 3"}));
  // A step larger than the whole limit is still kept, alone.
  ASSERT_TRUE(Correct(
      "large", [&] { return Quotes(kSet, Day(0), Day(0)); }, 1));
  EXPECT_EQ(Labels(), (std::vector<std::string>{"large"}));
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(Journal().Directory(false, nullptr)))
    ++files;
  EXPECT_EQ(files, 4u);  // the key, the record, two blobs
}

TEST_F(UndoJournalTest, AJournalThatCannotBeWrittenStopsTheCorrection) {
  testing::WriteText(root.get() / "state", "a file where the folder should be");
  const auto before = Content(root.get());
  const UndoJournal journal = Journal();
  JournalStep step(&journal, "split");
  EXPECT_FALSE(step.ready());
  EXPECT_FALSE(Quotes(kScale, 0, Day(3)));
  EXPECT_EQ(Content(root.get()), before);
}

TEST(UndoJournalPlace, PerUserStateFolderOutsideThePortfolio) {
#ifdef _WIN32
  // Read wide: a user name outside the ANSI code page.
  const wchar_t* saved = _wgetenv(L"LOCALAPPDATA");
  const std::wstring local = saved ? saved : L"";
  const struct {
    const wchar_t* local;
    const wchar_t* root;
  } cases[] = {
      {L"C:\\Users\\J\u00f6rg \u682a\\AppData\\Local",
       L"C:\\Users\\J\u00f6rg \u682a\\AppData\\Local\\Ledgrix\\Undo"},
      {L"", L""},
  };
  for (const auto& c : cases) {
    _wputenv_s(L"LOCALAPPDATA", c.local);
    EXPECT_EQ(journal::DefaultRoot(), path(c.root));
  }
  _wputenv_s(L"LOCALAPPDATA", local.c_str());
#else
  const char* savedState = std::getenv("XDG_STATE_HOME");
  const char* savedHome = std::getenv("HOME");
  const std::string state = savedState ? savedState : "", home = savedHome ? savedHome : "";
  const struct {
    const char* state;
    const char* home;
    const char* root;
  } cases[] = {
      {"/var/st", "/home/u", "/var/st/ledgrix/undo"},
      {nullptr, "/home/u", "/home/u/.local/state/ledgrix/undo"},
      {"relative", "/home/u", "/home/u/.local/state/ledgrix/undo"},
      {nullptr, nullptr, ""},
  };
  for (const auto& c : cases) {
    c.state ? setenv("XDG_STATE_HOME", c.state, 1) : unsetenv("XDG_STATE_HOME");
    c.home ? setenv("HOME", c.home, 1) : unsetenv("HOME");
    EXPECT_EQ(journal::DefaultRoot(), path(c.root));
  }
  savedState ? setenv("XDG_STATE_HOME", state.c_str(), 1) : unsetenv("XDG_STATE_HOME");
  savedHome ? setenv("HOME", home.c_str(), 1) : unsetenv("HOME");
#endif

  TempDir dir;
  std::string error;
  EXPECT_TRUE(journal::StoreDirectory(dir / "P/.state", dir / "P", true, &error).empty());
  EXPECT_NE(error.find("inside the portfolio"), std::string::npos);
  const path made = journal::StoreDirectory(dir / "state", dir / "P/", true, &error);
  EXPECT_EQ(journal::StoreDirectory(dir / "state", dir / "Q/../P", false, &error), made);
  EXPECT_NE(journal::StoreDirectory(dir / "state", dir / "Q", true, &error), made);
}

}  // namespace
}  // namespace ledgrix::maintenance
