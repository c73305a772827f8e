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
  const char* name;
  std::function<void(Specs&)> specs;        // before the portfolio is written
  std::function<void(const path&)> damage;  // after
  Found found;
  std::set<std::string> fixed;  // the files the safe fixes change
};

void PrintTo(const Damage& damage, std::ostream* os) {
  *os << damage.name;
}

void Append(const path& file, std::size_t n) {
  Bytes bytes = FileBytes(file);
  bytes.resize(bytes.size() + n, 0x41);
  testing::WriteBytes(file, bytes);
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

const std::vector<Damage>& Table() {
  static const std::vector<Damage> table = {
      {"Clean", {}, {}, {}, {}},
      {"XmasterNotOne",
       {},
       [](const path& d) { testing::WriteText(d / "XMASTER", "broken file"); },
       {{"XMASTER", K::kIndexUnusable}},
       {}},
      {"EmasterOutOfStep",
       {},
       [](const path& d) { testing::WriteBytes(d / "EMASTER", Bytes(192)); },
       {{"EMASTER", K::kEmasterOutOfStep}},
       {"EMASTER"}},
      {"MissingFile",
       {},
       [](const path& d) { std::filesystem::remove(d / "F1.DAT"); },
       {{"AA", K::kQuoteFileMissing}},
       {}},
      {"NoWholeHeader",
       {},
       [](const path& d) { testing::WriteText(d / "F1.DAT", "short"); },
       {{"AA", K::kQuoteFileUnusable}},
       {}},
      {"Orphan",
       {},
       [](const path& d) { testing::WriteText(d / "f9.dat", "left over"); },
       {{"MASTER", K::kOrphanQuoteFile}},
       {}},
      {"SharedNumber",
       [](Specs& s) { s.push_back(Spec(1, "AB", 6)); },
       {},
       {{"MASTER", K::kSharedFileNumber}},
       {}},
      {"RecordLength",
       [](Specs& s) { s[1].recordLength = 30; },
       {},
       {{"QQ", K::kBadRecordLength}},
       {}},
      {"HeaderCount",
       [](Specs& s) { s[1].lastRecord = 3; },
       {},
       {{"QQ", K::kCountMismatch}},
       {"F2.DAT"}},
      {"PartialRecord",
       {},
       [](const path& d) { Append(d / "F2.DAT", 5); },
       {{"QQ", K::kPartialRecord}},
       {"F2.DAT"}},
      {"OutOfOrder",
       [](Specs& s) { std::swap(Q(s, 1), Q(s, 3)); },
       {},
       {{"QQ", K::kDatesNotAscending}, {"QQ", K::kDatesNotAscending}},
       {"F2.DAT"}},
      {"ExactDuplicate",
       [](Specs& s) { s[1].quotes.insert(s[1].quotes.begin() + 2, Q(s, 2)); },
       {},
       {{"QQ", K::kDuplicateDate}},
       {"F2.DAT"}},
      {"DifferingDuplicate",
       [](Specs& s) {
         testing::Quote twin = Q(s, 2);
         twin.close = twin.low;
         s[1].quotes.insert(s[1].quotes.begin() + 3, twin);
       },
       {},
       {{"QQ", K::kDuplicateDate}},
       {}},
      {"BadDate",
       {},
       [](const path& d) { SetStoredDate(d, 2, 1011399.0f); },
       {{"QQ", K::kBadDate}},
       {}},
      {"IndexDates",
       [](Specs& s) {
         s[1].firstDate = DayFromYmd(97, 12, 1);
         s[1].lastDate = DayFromYmd(99, 1, 4);
       },
       {},
       {{"QQ", K::kIndexFirstDate}, {"QQ", K::kIndexLastDate}},
       {"MASTER", "EMASTER"}},
      {"XmasterDates",
       [](Specs& s) { s[2].lastDate = DayFromYmd(97, 12, 1); },
       {},
       {{"XQ", K::kIndexLastDate}},
       {"XMASTER"}},
      {"HighBelowLow",
       [](Specs& s) { Q(s, 2).high = Q(s, 2).low - 1; },
       {},
       {{"QQ", K::kHighBelowLow}},
       {}},
      {"OpenAboveHigh",
       [](Specs& s) { Q(s, 2).open = Q(s, 2).high + 1; },
       {},
       {{"QQ", K::kOutsideRange}},
       {}},
      {"ZeroPrice", [](Specs& s) { Q(s, 2).open = 0; }, {}, {{"QQ", K::kBadPrice}}, {}},
      {"NegativeVolume",
       [](Specs& s) { Q(s, 2).volume = -5; },
       {},
       {{"QQ", K::kNegativeVolume}},
       {}},
      {"BadTick",
       [](Specs& s) {
         Q(s, 2).close *= 1.4f;
         Q(s, 2).high = Q(s, 2).close;
       },
       {},
       {{"QQ", K::kBadTick}},
       {}},
      // Prices twice as high across a gap and back: the split search's candidate, no tick.
      {"SplitLikeJump",
       [](Specs& s) {
         for (float* v : {&Q(s, 2).open, &Q(s, 2).high, &Q(s, 2).low, &Q(s, 2).close})
           *v *= 2;
       },
       {},
       {},
       {}},
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
  PortfolioBuilder builder(dir.get());
  for (const SymbolSpec& spec : specs)
    builder.Add(spec);
  builder.WithEmaster().WithXmaster().Write();
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
