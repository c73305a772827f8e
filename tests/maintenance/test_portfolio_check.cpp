// The portfolio check on one table of damaged portfolios, each found as exactly what it holds,
// then the safe fixes: what they mend is gone, the rest is still found, and only the files the
// fixes are for changed. Then the real samples.
#include <gtest/gtest.h>

#include <functional>

#include "formats/le_bytes.h"
#include "formats/mbf.h"
#include "maintenance/check_fixes.h"
#include "maintenance/portfolio_check.h"
#include "tests/maintenance/helpers.h"

namespace ledgrix::maintenance {
namespace {

using K = FindingKind;
using Found = std::vector<std::pair<std::string, FindingKind>>;
using Specs = std::vector<SymbolSpec>;  // AA (F1), QQ (F2), XQ (F300)
using std::filesystem::path;

struct Damage {
  Damage(const char* n, Found f, std::set<std::string> x, std::function<void(Specs&)> s = {},
         std::function<void(const path&)> d = {})
      : name(n),
        found(std::move(f)),
        fixed(std::move(x)),
        specs(std::move(s)),
        damage(std::move(d)) {}
  const char* name;
  Found found;
  std::set<std::string> fixed;              // the files the safe fixes change
  std::function<void(Specs&)> specs;        // before the portfolio is written
  std::function<void(const path&)> damage;  // after
};

void PrintTo(const Damage& damage, std::ostream* os) {
  *os << damage.name;
}

// Damage done to the written portfolio: a file replaced by text, removed, or grown by n bytes.
std::function<void(const path&)> Put(std::string name, std::string text) {
  return [=](const path& d) { testing::WriteText(d / name, text); };
}
std::function<void(const path&)> Remove(std::string name) {
  return [=](const path& d) { std::filesystem::remove(d / name); };
}
std::function<void(const path&)> Append(std::string name, std::size_t n) {
  return [=](const path& d) {
    Bytes bytes = FileBytes(d / name);
    bytes.resize(bytes.size() + n, 0x41);
    testing::WriteBytes(d / name, bytes);
  };
}

// Quote k of QQ (records of 28 bytes, the date first) gets a stored date of value.
void SetStoredDate(const path& dir, std::size_t k, float value) {
  Bytes bytes = FileBytes(dir / "F2.DAT");
  const formats::StoredNumber stored = formats::EncodeMbf(value);
  std::copy(stored.begin(), stored.end(),
            bytes.begin() + static_cast<std::ptrdiff_t>(28 * (k + 1)));
  testing::WriteBytes(dir / "F2.DAT", bytes);
}

testing::Quote& Q(Specs& s, std::size_t k) {
  return s[1].quotes[k];
}

// What is found of QQ.
Found QQ(K kind, int times = 1) {
  return Found(static_cast<std::size_t>(times), {"QQ", kind});
}

// A change to QQ's third quote.
std::function<void(Specs&)> Quote2(std::function<void(testing::Quote&)> change) {
  return [=](Specs& s) { change(Q(s, 2)); };
}

const std::vector<Damage>& Table() {
  static const std::vector<Damage> table = {
      {"Clean", {}, {}},
      {"XmasterNotOne", {{"XMASTER", K::kIndexUnusable}}, {}, {}, Put("XMASTER", "broken file")},
      {"EmasterOutOfStep",
       {{"EMASTER", K::kEmasterOutOfStep}},
       {"EMASTER"},
       {},
       Put("EMASTER", std::string(192, '\0'))},
      {"MissingFile", {{"AA", K::kQuoteFileMissing}}, {}, {}, Remove("F1.DAT")},
      {"NoWholeHeader", {{"AA", K::kQuoteFileUnusable}}, {}, {}, Put("F1.DAT", "short")},
      {"Orphan", {{"MASTER", K::kOrphanQuoteFile}}, {}, {}, Put("f9.dat", "left over")},
      {"SharedNumber",
       {{"MASTER", K::kSharedFileNumber}},
       {},
       [](Specs& s) { s.push_back(Spec(1, "AB", 6)); }},
      {"RecordLength", QQ(K::kBadRecordLength), {}, [](Specs& s) { s[1].recordLength = 30; }},
      {"HeaderCount", QQ(K::kCountMismatch), {"F2.DAT"}, [](Specs& s) { s[1].lastRecord = 3; }},
      {"PartialRecord", QQ(K::kPartialRecord), {"F2.DAT"}, {}, Append("F2.DAT", 5)},
      {"OutOfOrder",
       QQ(K::kDatesNotAscending, 2),
       {"F2.DAT"},
       [](Specs& s) { std::swap(Q(s, 1), Q(s, 3)); }},
      {"ExactDuplicate",
       QQ(K::kDuplicateDate),
       {"F2.DAT"},
       [](Specs& s) { s[1].quotes.insert(s[1].quotes.begin() + 2, Q(s, 2)); }},
      {"DifferingDuplicate",
       QQ(K::kDuplicateDate),
       {},
       [](Specs& s) {
         s[1].quotes.insert(s[1].quotes.begin() + 3, Q(s, 2)), Q(s, 3).close = Q(s, 3).low;
       }},
      {"BadDate", QQ(K::kBadDate), {}, {}, [](const path& d) { SetStoredDate(d, 2, 1011399.0f); }},
      {"IndexDates",
       {{"QQ", K::kIndexFirstDate}, {"QQ", K::kIndexLastDate}},
       {"MASTER", "EMASTER"},
       [](Specs& s) {
         s[1].firstDate = DayFromYmd(97, 12, 1), s[1].lastDate = DayFromYmd(99, 1, 4);
       }},
      {"XmasterDates",
       {{"XQ", K::kIndexLastDate}},
       {"XMASTER"},
       [](Specs& s) { s[2].lastDate = DayFromYmd(97, 12, 1); }},
      {"HighBelowLow", QQ(K::kHighBelowLow), {}, Quote2([](auto& q) { q.high = q.low - 1; })},
      {"OpenAboveHigh", QQ(K::kOutsideRange), {}, Quote2([](auto& q) { q.open = q.high + 1; })},
      {"ZeroPrice", QQ(K::kBadPrice), {}, Quote2([](auto& q) { q.open = 0; })},
      {"NegativeVolume", QQ(K::kNegativeVolume), {}, Quote2([](auto& q) { q.volume = -5; })},
      {"BadTick", QQ(K::kBadTick), {}, Quote2([](auto& q) { q.close *= 1.4f, q.high = q.close; })},
      // Prices twice as high across a gap and back: the split search's candidate, no tick.
      {"SplitLikeJump", {}, {}, Quote2([](auto& q) {
         q.open *= 2, q.high *= 2, q.low *= 2, q.close *= 2;
       })},
  };
  return table;
}

class CheckTable : public ::testing::TestWithParam<Damage> {};

Found Kinds(const CheckResult& result) {
  Found found;
  for (const Finding& f : result.findings)
    found.emplace_back(f.where, f.kind);
  return found;
}

TEST_P(CheckTable, FindsTheDamageAndFixesOnlyWhatIsSafe) {
  const Damage& row = GetParam();
  TempDir dir;
  Specs specs = {Spec(1, "AA", 6), Spec(2, "QQ", 6), Spec(300, "XQ", 6)};
  if (row.specs)
    row.specs(specs);
  PortfolioBuilder(dir.get()).AddAll(specs).WithEmaster().WithXmaster().Write();
  if (row.damage)
    row.damage(dir.get());

  const CheckResult result = CheckPortfolio(dir.get());
  EXPECT_EQ(Kinds(result), row.found);
  const auto before = Files(dir.get());
  const FixOutcome outcome = ApplySafeFixes(dir.get(), result);
  EXPECT_TRUE(outcome.ok()) << outcome.failures.front();

  Found left;
  for (const Finding& f : result.findings) {
    if (!f.fixable)
      left.emplace_back(f.where, f.kind);
  }
  EXPECT_EQ(Kinds(CheckPortfolio(dir.get())), left);
  std::set<std::string> changed;
  for (const auto& [name, bytes] : Files(dir.get())) {
    const bool backup = name.ends_with(".BAK");
    if (!backup && (!before.contains(name) || before.at(name) != bytes))
      changed.insert(name);
  }
  EXPECT_EQ(changed, row.fixed);
}

INSTANTIATE_TEST_SUITE_P(Damage, CheckTable, ::testing::ValuesIn(Table()),
                         [](const auto& tp) { return std::string(tp.param.name); });

// The real samples: what is known to be wrong with them is found, and nothing else is.
TEST(CheckSamples, FindWhatIsKnownWrong) {
  const auto samples = testing::SamplesDir();
  if (!samples)
    GTEST_SKIP() << "no samples";
  const CheckResult bb = CheckPortfolio(*samples / "msdir_bbfinance");
  std::set<std::string> seen;
  for (const Finding& f : bb.findings) {
    if (f.kind == K::kQuoteFileMissing)
      seen.insert(f.detail.substr(0, f.detail.find(' ', f.detail.find('F'))));
    else if (f.where.ends_with("MASTER"))
      seen.insert(f.where + " " + FindingKindText(f.kind));
  }
  EXPECT_EQ(seen,
            (std::set<std::string>{"EMASTER EMASTER out of step", "XMASTER index file unusable",
                                   "STS names F16.DAT,", "F30.DAT", "F32.DAT", "F34.DAT"}));

  // okomarov's files are complete: no finding about the files or the index, only odd quotes
  // of the data itself (opens of 0, opens outside the day's range, a few wild closes).
  for (const Finding& f : CheckPortfolio(*samples / "okomarov-sampleData").findings) {
    EXPECT_TRUE(f.kind == K::kBadPrice || f.kind == K::kOutsideRange || f.kind == K::kBadTick)
        << FindingLine(f);
  }
  EXPECT_TRUE(CheckPortfolio(*samples / "okomarov-sampleData" / "Intraday").findings.empty());

  // Cancelled after the first symbol.
  EXPECT_TRUE(
      CheckPortfolio(*samples / "msdir_equis_b", {}, [](auto, auto) { return false; }).cancelled);
}

}  // namespace
}  // namespace ledgrix::maintenance
