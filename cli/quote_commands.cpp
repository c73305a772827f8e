// quotes, edit, split, adjust, add and delete: one symbol's quotes, with the checks and the
// change requests of the quote dialogs.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <optional>
#include <ostream>

#include "cli/commands.h"
#include "cli/quote_access.h"
#include "maintenance/messages.h"
#include "maintenance/quote_entry.h"
#include "maintenance/quote_rewrite.h"

namespace ledgrix::cli {

namespace {

using maintenance::kInvalidDataEntered;

// The lengths the dialogs' fields accept.
constexpr std::size_t kEditFieldLength = 16;
constexpr std::size_t kShareFieldLength = 5;
constexpr std::size_t kMultiplierFieldLength = 8;

constexpr std::int32_t kGridWindow = 400;

struct DirSymbol {
  std::string dir, symbol;
};

void AddDirSymbol(CLI::App* sub, DirSymbol& target) {
  sub->add_option("DIR", target.dir, "portfolio directory")->required();
  sub->add_option("SYMBOL", target.symbol, "symbol")->required();
}

// Applies change as one step of the journal named title and detail, and reports failureText
// with the reason on failure.
int Apply(const Context& ctx, const LoadedSymbol& loaded, const maintenance::QuoteChange& change,
          const char* failureText, const char* title, std::string_view detail) {
  CorrectionStep step(ctx, loaded.dir, maintenance::StepLabel(title, loaded.row.symbol, detail));
  if (!step.ready())
    return kExitFailed;
  const formats::StatusCode status =
      maintenance::ApplyQuoteChange(change, loaded.dir, loaded.row.symbol, ctx.prompt);
  if (status != formats::kOk)
    return Fail(ctx, failureText, {StatusReason(status)});
  return kExitDone;
}

int RunQuotes(const Context& ctx, const DirSymbol& target, std::optional<int> newest, bool title) {
  LoadedSymbol loaded;
  if (!LoadSymbol(ctx, ArgPath(target.dir), target.symbol, false, loaded))
    return kExitFailed;
  if (title)
    ctx.out << "Date\tOpen\tHigh\tLow\tClose\tVolume\tOpen Interest\n";
  const std::int32_t rows = newest ? std::min<std::int32_t>(*newest, loaded.count) : loaded.count;
  formats::QuoteSeries series;
  if (formats::InitSeries(series, kGridWindow) != formats::kOk)
    return Fail(ctx, maintenance::kTooManyBars);
  // Windows of 400 from the newest back, each listed newest first.
  std::int32_t done = 0;
  while (done < rows) {
    const std::int32_t chunk = std::min(kGridWindow, rows - done);
    const std::int32_t start = loaded.count - done - chunk;
    const formats::StatusCode status =
        formats::LoadSeries(series, loaded.dir, loaded.row.symbol, start, chunk);
    if (status != formats::kOk || series.count != chunk) {
      formats::FreeSeries(series);
      return Fail(
          ctx, maintenance::kQuotesGridFailure,
          {Format("%s: quotes %d to %d: %s", loaded.row.symbol.c_str(), start, start + chunk - 1,
                  StatusReason(status != formats::kOk ? status : formats::kFileRead).c_str())});
    }
    for (int k = chunk - 1; k >= 0; --k) {
      const auto cells = QuoteCells(series, k);
      ctx.out << cells[0];
      for (std::size_t c = 1; c < cells.size(); ++c)
        ctx.out << '\t' << cells[c];
      ctx.out << '\n';
    }
    done += chunk;
  }
  formats::FreeSeries(series);
  return kExitDone;
}

struct EditOptions {
  DirSymbol target;
  std::string date;
  std::array<std::optional<std::string>, 6> values;  // OPEN .. OI as typed
};

constexpr std::array<const char*, 6> kValueOptions = {"--open",  "--high",   "--low",
                                                      "--close", "--volume", "--oi"};

int RunEdit(const Context& ctx, const EditOptions& options) {
  LoadedSymbol loaded;
  if (!LoadSymbol(ctx, ArgPath(options.target.dir), options.target.symbol, true, loaded))
    return kExitFailed;
  std::vector<std::string> reasons;
  std::string reason;
  DatedQuotes dated;
  const formats::QuoteDate day = QuoteDateOption(loaded, "--date", options.date, reason, &dated);
  if (day == 0)
    reasons.push_back(reason);
  for (std::size_t i = 0; i < 6; ++i) {
    if (options.values[i] &&
        !TypedNumberText(kValueOptions[i], *options.values[i], kEditFieldLength, &reason))
      reasons.push_back(reason);
  }
  if (!reasons.empty())
    return Fail(ctx, kInvalidDataEntered, reasons);

  if (const std::string shared = SharedDateMessage(loaded, "Edit", options.date, dated);
      !shared.empty())
    return Fail(ctx, shared);
  formats::QuoteSeries stored;
  if (!ReadQuoteAt(loaded, dated.first, stored)) {
    formats::FreeSeries(stored);
    return Fail(ctx, maintenance::kSingleDateEditFailed,
                {"the quote of " + options.date + " cannot be read"});
  }
  // Values not given keep what the file holds, exactly (no round trip through the grid's text).
  maintenance::EditEntries entries;
  entries.date = options.date;
  std::array<std::string*, 6> texts = {&entries.open,  &entries.high,   &entries.low,
                                       &entries.close, &entries.volume, &entries.openInterest};
  for (std::size_t i = 0; i < 6; ++i)
    *texts[i] = options.values[i].value_or("0");
  std::optional<maintenance::QuoteChange> change =
      maintenance::BuildEditChange(entries, loaded.fieldHeld, &reason);
  if (!change) {
    formats::FreeSeries(stored);
    return Fail(ctx, kInvalidDataEntered, {reason});
  }
  for (std::size_t i = 0; i < 6; ++i) {
    if (!options.values[i])
      change->values[i] = stored.values[i][0];
    if (options.values[i] && !loaded.fieldHeld[i])
      Report(ctx.err, std::string(kValueOptions[i]) + " ignored: the quote file of " +
                          loaded.row.symbol + " holds no such field");
  }
  formats::FreeSeries(stored);
  return Apply(ctx, loaded, *change, maintenance::kSingleDateEditFailed,
               maintenance::kEditQuoteTitle, options.date);
}

struct SplitOptions {
  DirSymbol target;
  std::string date, newShares, oldShares;
};

int RunSplit(const Context& ctx, const SplitOptions& options) {
  LoadedSymbol loaded;
  if (!LoadSymbol(ctx, ArgPath(options.target.dir), options.target.symbol, true, loaded))
    return kExitFailed;
  // Every test runs, as the dialog's OK check does; each failure gives its reason.
  std::vector<std::string> reasons;
  std::string reason;
  if (!maintenance::CheckDateEntry(options.date, loaded.firstDateText, loaded.lastDateText,
                                   &reason))
    reasons.push_back("--date: " + reason);
  for (const auto& [option, text] :
       {std::pair{"--new", &options.newShares}, std::pair{"--old", &options.oldShares}}) {
    if (!TypedNumberText(option, *text, kShareFieldLength, &reason))
      reasons.push_back(reason);
    else if (!maintenance::CheckFactorEntry(*text, &reason))
      reasons.push_back(std::string(option) + ": " + reason);
  }
  if (!reasons.empty())
    return Fail(ctx, kInvalidDataEntered, reasons);
  const auto change =
      maintenance::BuildSplitChange(options.date, options.newShares, options.oldShares, &reason);
  if (!change)
    return Fail(ctx, kInvalidDataEntered, {reason});
  return Apply(ctx, loaded, *change, maintenance::kSplitEditFailed, maintenance::kSplitTitle,
               options.date);
}

struct AdjustOptions {
  DirSymbol target;
  std::optional<std::string> from, to;
  std::string price = "1", volume = "1", openInterest = "1";
};

int RunAdjust(const Context& ctx, const AdjustOptions& options) {
  LoadedSymbol loaded;
  if (!LoadSymbol(ctx, ArgPath(options.target.dir), options.target.symbol, true, loaded))
    return kExitFailed;
  // The dialog starts with the whole series and multipliers of 1.
  const std::string from = options.from.value_or(loaded.firstDateText);
  const std::string to = options.to.value_or(loaded.lastDateText);
  std::vector<std::string> reasons;
  std::string reason;
  for (const auto& [option, text] : {std::pair{"--from", &from}, std::pair{"--to", &to}}) {
    if (!maintenance::CheckDateEntry(*text, loaded.firstDateText, loaded.lastDateText, &reason))
      reasons.push_back(std::string(option) + ": " + reason);
  }
  // Price and volume are number fields; the open-interest field takes any character.
  for (const auto& [option, text, numeric] : {std::tuple{"--price", &options.price, true},
                                              std::tuple{"--oi", &options.openInterest, false},
                                              std::tuple{"--volume", &options.volume, true}}) {
    const bool typed = numeric ? TypedNumberText(option, *text, kMultiplierFieldLength, &reason)
                               : TypedPlainText(option, *text, kMultiplierFieldLength, &reason);
    if (!typed)
      reasons.push_back(reason);
    else if (!maintenance::CheckFactorEntry(*text, &reason))
      reasons.push_back(std::string(option) + ": " + reason);
  }
  if (!reasons.empty())
    return Fail(ctx, kInvalidDataEntered, reasons);
  const auto change = maintenance::BuildAdjustChange(from, to, options.price, options.volume,
                                                     options.openInterest, &reason);
  if (!change)
    return Fail(ctx, kInvalidDataEntered, {reason});
  return Apply(ctx, loaded, *change, maintenance::kAdjustEditFailed, maintenance::kAdjustTitle,
               from + "-" + to);
}

int RunAdd(const Context& ctx, const DirSymbol& target, const std::string& before) {
  LoadedSymbol loaded;
  if (!LoadSymbol(ctx, ArgPath(target.dir), target.symbol, true, loaded))
    return kExitFailed;
  std::string reason;
  const formats::QuoteDate current = QuoteDateOption(loaded, "--before", before, reason);
  if (current == 0)
    return Fail(ctx, kInvalidDataEntered, {reason});
  if (current == formats::ParseDisplayDate(loaded.firstDateText))
    return Fail(ctx, maintenance::kAddQuoteFailed,
                {before + " is the oldest quote: a quote is never added before the first quote "
                          "of the series"});
  // The new quote copies the weekday after it; from a weekend quote that is another quote.
  const formats::QuoteDate newDay =
      formats::IsWeekend(current) ? 0 : formats::WeekdayBefore(current);
  if (newDay == 0 || newDay >= current)
    return Fail(ctx, maintenance::NotOnAWeekdayMessage(before));
  const std::string newText = formats::DisplayDate(newDay);
  const DatedQuotes existing = FindDated(loaded, newDay);
  if (existing.readError)
    return Fail(ctx, maintenance::kAddQuoteFailed, {StatusReason(formats::kFileRead)});
  if (existing.count > 0)
    return Fail(ctx, maintenance::DateExistsMessage(newText));
  const int result = Apply(ctx, loaded, maintenance::BuildInsertChange(newDay),
                           maintenance::kAddQuoteFailed, maintenance::kAddQuoteTitle, newText);
  if (result == kExitDone)
    ctx.out << newText << '\n';
  return result;
}

int RunDelete(const Context& ctx, const DirSymbol& target, const std::string& date) {
  LoadedSymbol loaded;
  if (!LoadSymbol(ctx, ArgPath(target.dir), target.symbol, true, loaded))
    return kExitFailed;
  std::string reason;
  DatedQuotes dated;
  const formats::QuoteDate day = QuoteDateOption(loaded, "--date", date, reason, &dated);
  if (day == 0)
    return Fail(ctx, kInvalidDataEntered, {reason});
  if (const std::string shared = SharedDateMessage(loaded, "Delete", date, dated); !shared.empty())
    return Fail(ctx, shared);
  if (!ctx.prompt.AskYesNo(maintenance::DeleteQuoteQuestion(date)))
    return kExitFailed;
  return Apply(ctx, loaded, maintenance::BuildDeleteChange(day), maintenance::kDeleteEditFailed,
               maintenance::kDeleteQuoteTitle, date);
}

}  // namespace

void AddQuoteCommands(CLI::App& app, CommandTable& table) {
  {
    struct Options {
      DirSymbol target;
      std::optional<int> newest;
      bool title = false;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = app.add_subcommand("quotes",
                                       "List a symbol's quotes as the quotes grid shows "
                                       "them, newest first, tab-separated");
    AddDirSymbol(sub, o->target);
    sub->add_option("--newest", o->newest, "only the newest N quotes")
        ->check(CLI::NonNegativeNumber);
    sub->add_flag("--title", o->title, "first a line with the column titles");
    table.emplace_back(
        sub, [o](const Context& ctx) { return RunQuotes(ctx, o->target, o->newest, o->title); });
  }
  {
    auto o = std::make_shared<EditOptions>();
    CLI::App* sub = app.add_subcommand(
        "edit", "Set values of one day's quote; values not given keep what the file holds");
    AddDirSymbol(sub, o->target);
    sub->add_option("--date", o->date, "the quote's date, MM/DD/YY")->required();
    static constexpr std::array<const char*, 6> kHelp = {
        "open price", "high price", "low price", "close price", "volume", "open interest"};
    for (std::size_t i = 0; i < 6; ++i)
      sub->add_option(kValueOptions[i], o->values[i], kHelp[i]);
    table.emplace_back(sub, [o](const Context& ctx) { return RunEdit(ctx, *o); });
  }
  {
    auto o = std::make_shared<SplitOptions>();
    CLI::App* sub = app.add_subcommand(
        "split", "Enter a split: quotes before DATE get prices x OLD/NEW, volume and OI x NEW/OLD");
    AddDirSymbol(sub, o->target);
    sub->add_option("--date", o->date, "first day on the new basis, MM/DD/YY")->required();
    sub->add_option("--new", o->newShares, "new shares")->required();
    sub->add_option("--old", o->oldShares, "old shares")->required();
    table.emplace_back(sub, [o](const Context& ctx) { return RunSplit(ctx, *o); });
  }
  {
    auto o = std::make_shared<AdjustOptions>();
    CLI::App* sub = app.add_subcommand(
        "adjust", "Multiply prices, volume and open interest over a date range (inclusive)");
    AddDirSymbol(sub, o->target);
    sub->add_option("--from", o->from, "first date, MM/DD/YY (default: the oldest quote)");
    sub->add_option("--to", o->to, "last date, MM/DD/YY (default: the newest quote)");
    sub->add_option("--price", o->price, "price multiplier (default 1)");
    sub->add_option("--volume", o->volume, "volume multiplier (default 1)");
    sub->add_option("--oi", o->openInterest, "open interest multiplier (default 1)");
    table.emplace_back(sub, [o](const Context& ctx) { return RunAdjust(ctx, *o); });
  }
  {
    struct Options {
      DirSymbol target;
      std::string before;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = app.add_subcommand(
        "add", "Add the weekday before a quote, a copy of that quote; prints the new date");
    AddDirSymbol(sub, o->target);
    sub->add_option("--before", o->before, "the date of the quote to copy, MM/DD/YY")->required();
    table.emplace_back(sub, [o](const Context& ctx) { return RunAdd(ctx, o->target, o->before); });
  }
  {
    struct Options {
      DirSymbol target;
      std::string date;
    };
    auto o = std::make_shared<Options>();
    CLI::App* sub = app.add_subcommand("delete", "Delete one day's quote (asks first)");
    AddDirSymbol(sub, o->target);
    sub->add_option("--date", o->date, "the quote's date, MM/DD/YY")->required();
    table.emplace_back(sub, [o](const Context& ctx) { return RunDelete(ctx, o->target, o->date); });
  }
}

}  // namespace ledgrix::cli
