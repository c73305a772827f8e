// The safe fixes: quote files first (so that the index dates come from the mended files), then
// the index dates in one index update, then the EMASTER rebuild, which copies MASTER's dates.
#include "maintenance/check_fixes.h"

#include <algorithm>
#include <numeric>

#include "formats/le_bytes.h"
#include "formats/quote_files.h"
#include "formats/series.h"
#include "maintenance/index_update.h"
#include "maintenance/master_repair.h"
#include "maintenance/quote_check.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace ledgrix::maintenance {

namespace {

const char* FixText(FindingKind kind) {
  switch (kind) {
    case FindingKind::kEmasterOutOfStep:
      return "rebuild EMASTER from MASTER";
    case FindingKind::kCountMismatch:
      return "set the quote count in the header from the file size";
    case FindingKind::kPartialRecord:
      return "drop the partial record at the end";
    case FindingKind::kDatesNotAscending:
      return "sort the quotes by date";
    case FindingKind::kDuplicateDate:
      return "drop quotes stored twice with the same values";
    case FindingKind::kIndexFirstDate:
      return "set the index's first date from the quotes";
    case FindingKind::kIndexLastDate:
      return "set the index's last date from the quotes";
    default:
      return "";
  }
}

struct SymbolPlan {
  formats::SymbolKey key;
  std::string where;
  bool rewrite = false;
  bool first = false;
  bool last = false;
};

std::vector<SymbolPlan> Plans(const CheckResult& result) {
  std::vector<SymbolPlan> plans;
  for (const Finding& f : result.findings) {
    if (!f.fixable || f.key.fileNumber == 0)
      continue;
    auto plan = std::find_if(plans.begin(), plans.end(),
                             [&](const SymbolPlan& p) { return p.key == f.key; });
    if (plan == plans.end())
      plan = plans.insert(plans.end(), SymbolPlan{f.key, f.where});
    plan->first |= f.kind == FindingKind::kIndexFirstDate;
    plan->last |= f.kind == FindingKind::kIndexLastDate;
    plan->rewrite |=
        f.kind != FindingKind::kIndexFirstDate && f.kind != FindingKind::kIndexLastDate;
  }
  return plans;
}

// The file's quotes sorted by date (unless a date is bad), exact duplicates and a partial record
// dropped, and the header count set to what is left.
bool Mended(const std::vector<std::uint8_t>& bytes, const check::QuoteRecords& records,
            std::vector<std::uint8_t>& out) {
  const std::size_t n = records.count();
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), std::size_t{0});
  bool sortable = true;
  for (std::size_t k = 0; k < n; ++k)
    sortable = sortable && records.key(k) != 0;
  if (sortable)
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return records.key(a) < records.key(b); });
  const std::size_t length = records.length();
  out.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
  const std::uint8_t* previous = nullptr;
  std::size_t kept = 0;
  for (std::size_t k : order) {
    const std::uint8_t* record = records.record(k);
    if (sortable && previous && std::equal(record, record + length, previous))
      continue;
    out.insert(out.end(), record, record + length);
    previous = record;
    ++kept;
  }
  if (kept + 1 > 0xFFFF)
    return false;
  formats::le::SetU16(out.data() + 2, static_cast<std::uint16_t>(kept + 1));
  return true;
}

}  // namespace

std::vector<std::string> SafeFixLines(const CheckResult& result) {
  std::vector<std::string> lines;
  for (const Finding& f : result.findings) {
    if (!f.fixable)
      continue;
    std::string line = f.where + ": " + FixText(f.kind);
    if (std::find(lines.begin(), lines.end(), line) == lines.end())
      lines.push_back(std::move(line));
  }
  return lines;
}

FixOutcome ApplySafeFixes(const std::filesystem::path& dir, const CheckResult& result) {
  FixOutcome outcome;
  if (result.incomplete) {
    outcome.failures.push_back("the check could not read every file; check again first");
    return outcome;
  }
  IndexUpdate update;
  std::string error;
  if (!update.Load(dir, &error)) {
    outcome.failures.push_back(error);
    return outcome;
  }
  bool datesChanged = false;
  for (const SymbolPlan& plan : Plans(result)) {
    const formats::IndexEntry* entry = update.index().Find(plan.key);
    const auto fail = [&](const std::string& why) {
      outcome.failures.push_back(plan.where + ": " + why);
    };
    if (entry == nullptr) {
      fail("no longer in the index");
      return outcome;
    }
    const int n = entry->fileNumber();
    const formats::QuoteFiles files = formats::ResolveQuoteFiles(dir, n);
    formats::FieldLayout layout;
    std::vector<std::uint8_t> bytes, dop;
    const auto layoutOf = [&] {
      const std::span<const std::uint8_t> dopBytes = dop;
      return check::LayoutOf(*entry, files.dopExists ? &dopBytes : nullptr, bytes, layout);
    };
    if (!files.datExists || !platform::ReadWholeFile(files.dat, bytes, &error) ||
        (files.dopExists && !platform::ReadWholeFile(files.dop, dop, &error)) || !layoutOf() ||
        bytes.size() < static_cast<std::size_t>(entry->recordLength)) {
      fail(platform::Utf8FromPath(files.dat.filename()) +
           " can no longer be read as the check read it");
      return outcome;
    }
    if (plan.rewrite) {
      std::vector<std::uint8_t> out;
      if (!Mended(bytes, check::QuoteRecords(bytes, entry->recordLength, layout), out)) {
        fail("too many quotes for one file");
        return outcome;
      }
      if (out != bytes) {
        const platform::IoResult written = platform::ReplaceFile(
            files.dat, formats::QuoteFileName(n, "NEW"), out, formats::QuoteFileName(n, "BAK"));
        if (!written) {
          fail(written.message());
          return outcome;
        }
        outcome.done.push_back(plan.where + ": " + platform::Utf8FromPath(files.dat.filename()) +
                               " mended");
        bytes = std::move(out);
      }
    }
    if (plan.first || plan.last) {
      const auto [firstDay, lastDay] =
          check::DateSpan(check::QuoteRecords(bytes, entry->recordLength, layout));
      if (firstDay == 0)
        continue;
      const formats::StoredNumber first = formats::StoredFromDay(firstDay);
      const formats::StoredNumber last = formats::StoredFromDay(lastDay);
      update.SetDates(static_cast<std::uint16_t>(n), plan.first ? &first : nullptr,
                      plan.last ? &last : nullptr);
      datesChanged = true;
    }
  }
  if (datesChanged) {
    const platform::IoResult written = update.Commit(".NEW", ".BAK");
    if (!written) {
      outcome.failures.push_back("the index dates: " + written.message());
      return outcome;
    }
    outcome.done.push_back("index dates set from the quotes");
  }
  const bool rebuild = std::any_of(
      result.findings.begin(), result.findings.end(),
      [](const Finding& f) { return f.fixable && f.kind == FindingKind::kEmasterOutOfStep; });
  if (rebuild) {
    SilentPrompt silent(true);
    if (RebuildEmaster(dir, true, silent, &error) != 0)
      outcome.done.push_back("EMASTER rebuilt from MASTER");
    else
      outcome.failures.push_back("EMASTER: " + error);
  }
  return outcome;
}

}  // namespace ledgrix::maintenance
