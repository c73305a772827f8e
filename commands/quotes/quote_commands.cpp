// The quote commands: each runs its dialog, builds its change, has the rewrite apply it,
// records its entries and asks the view to refill.
#include "commands/quotes/quote_commands.h"

#include <array>
#include <filesystem>
#include <string>

#include "app/settings_store.h"
#include "app/wait_cursor.h"
#include "commands/command_host.h"
#include "commands/correction_step.h"
#include "commands/quotes/add_quote_dialog.h"
#include "commands/quotes/adjust_dialog.h"
#include "commands/quotes/delete_quote_dialog.h"
#include "commands/quotes/edit_quote_dialog.h"
#include "commands/quotes/series_facts_dialog.h"
#include "commands/quotes/split_dialog.h"
#include "commands/quotes/split_search_dialog.h"
#include "commands/symbols/dialog_runner.h"
#include "commands/symbols/record_text.h"
#include "formats/facts.h"
#include "formats/series.h"
#include "maintenance/messages.h"
#include "maintenance/quote_entry.h"
#include "maintenance/quote_rewrite.h"

namespace ledgrix::commands {
namespace {

using maintenance::QuoteChange;

std::filesystem::path PortfolioPath(const CommandHost& host) {
  return FsPath(host.portfolioDir());
}

QString Text(const std::string& text) {
  return QString::fromLatin1(text.c_str());
}

// The change as one step of the undo journal, named by the dialog's title and the dates.
bool Apply(CommandHost& host, const QuoteChange& change, const char* title, const QString& dates) {
  const std::string symbol = RecordBytes(host.symbol());
  CorrectionStep step(host, maintenance::StepLabel(title, symbol, dates.toStdString()));
  if (!step.ready())
    return false;
  CWaitCursor wait;
  return maintenance::ApplyQuoteChange(change, PortfolioPath(host), symbol, host.prompt()) ==
         formats::kOk;
}

void Record(CommandHost& host, const char* section,
            std::initializer_list<std::pair<const char*, QString>> values) {
  for (const auto& [name, text] : values)
    host.settings().SetString(QString::fromLatin1(section), QString::fromLatin1(name), text);
}

// Which of OPEN ... OI the symbol's file holds (all of them when the layout cannot be read: the
// rewrite then fails on its own), and whether it holds several quotes a day.
struct SeriesShape {
  std::array<bool, 6> held;
  bool intraday = false;
};

SeriesShape ShapeOf(CommandHost& host) {
  SeriesShape shape;
  shape.held.fill(true);
  formats::QuoteSeries series;
  if (formats::LoadSeries(series, PortfolioPath(host), RecordBytes(host.symbol()), 0, 0) ==
          formats::kOk &&
      series.info) {
    for (int i = 0; i < 6; ++i)
      shape.held[static_cast<std::size_t>(i)] =
          series.info->layout.has(static_cast<formats::FieldName>(formats::kOpen + i));
    shape.intraday = formats::IsIntraday(*series.info);
  }
  formats::FreeSeries(series);
  return shape;
}

QString SelectedDateText(CommandHost& host) {
  return host.quoteCellText(host.selQuoteRow(), 0);
}

// Edit and Delete name a quote by its date alone. Where intraday data holds several quotes on
// that date, Edit would overwrite all of them and Delete drop whichever comes first in the file;
// both are refused there, before the user types anything. (A daily file holding a day twice is
// mended by Delete, which drops the first copy.)
bool RefusedForSharedDate(CommandHost& host, const SeriesShape& shape, const char* what) {
  if (!shape.intraday)
    return false;
  const QString date = SelectedDateText(host);
  int rows = 0;
  for (int i = 0; i < host.quoteRowCount(); ++i)
    if (host.quoteCellText(i, 0) == date)
      ++rows;
  if (rows <= 1)
    return false;
  host.prompt().Message(maintenance::SharedDateRefusal(what, date.toStdString(), rows),
                        maintenance::PromptIcon::kWarning);
  return true;
}

}  // namespace

void EditQuote(CommandHost& host) {
  const SeriesShape shape = ShapeOf(host);
  if (RefusedForSharedDate(host, shape, "Edit"))
    return;
  // The dialog's steps move the view's current row, never the grid's highlight: unless the
  // grid is refilled, the highlighted row is current again afterwards.
  const int highlighted = host.selQuoteRow();
  CEditQuoteDialog dialog(host, shape.held, shape.intraday, host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted) {
    host.setCurrentQuoteRow(highlighted);
    return;
  }
  const maintenance::EditEntries entries = dialog.entries();
  const auto change = maintenance::BuildEditChange(entries, shape.held);
  if (!change || !Apply(host, *change, maintenance::kEditQuoteTitle, Text(entries.date))) {
    host.setCurrentQuoteRow(highlighted);
    host.prompt().Message(maintenance::kSingleDateEditFailed);
    return;
  }
  Record(host, "Edit",
         {{"Date", Text(entries.date)},
          {"Open", Text(entries.open)},
          {"Hi", Text(entries.high)},
          {"Lo", Text(entries.low)},
          {"Close", Text(entries.close)},
          {"Vol", Text(entries.volume)},
          {"OI", Text(entries.openInterest)}});
  host.FillQuotesGrid(0);
}

void EnterSplit(CommandHost& host) {
  CSplitDialog dialog(host, SelectedDateText(host), host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;
  const QString date = dialog.splitDate();
  const QString newShares = dialog.newShares();
  const QString oldShares = dialog.oldShares();
  const auto change = maintenance::BuildSplitChange(date.toStdString(), newShares.toStdString(),
                                                    oldShares.toStdString());
  if (!change || !Apply(host, *change, maintenance::kSplitTitle, date)) {
    host.prompt().Message(maintenance::kSplitEditFailed);
    return;
  }
  Record(host, "Split", {{"Date", date}, {"New", newShares}, {"Old", oldShares}});
  host.FillQuotesGrid(0);
}

void AdjustQuotes(CommandHost& host) {
  CAdjustDialog dialog(host, host.firstDateText(), host.lastDateText(), host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;
  const QString from = dialog.fromDate();
  const QString to = dialog.toDate();
  const QString price = dialog.price();
  const QString volume = dialog.volume();
  const QString openInterest = dialog.openInterest();
  const auto change =
      maintenance::BuildAdjustChange(from.toStdString(), to.toStdString(), price.toStdString(),
                                     volume.toStdString(), openInterest.toStdString());
  if (!change || !Apply(host, *change, maintenance::kAdjustTitle, from + QLatin1Char('-') + to)) {
    host.prompt().Message(maintenance::kAdjustEditFailed);
    return;
  }
  Record(host, "Adjust",
         {{"Date1", from},
          {"Date2", to},
          {"PriceMult", price},
          {"VolMult", volume},
          {"OIMult", openInterest}});
  host.FillQuotesGrid(0);
}

void AddQuote(CommandHost& host) {
  const int row = host.selQuoteRow();
  const QString currentText = host.quoteCellText(row, 0);
  const formats::QuoteDate current = formats::ParseDisplayDate(currentText.toStdString());
  // A weekend quote would have the rewrite copy the following Monday's quote instead, and the
  // Edit dialog open on some other row; refuse it, as a date no weekday can be added before.
  const formats::QuoteDate proposed =
      current == 0 || formats::IsWeekend(current) ? 0 : formats::WeekdayBefore(current);
  if (proposed == 0 || proposed >= current) {
    host.prompt().Message(maintenance::NotOnAWeekdayMessage(currentText.toStdString()),
                          maintenance::PromptIcon::kWarning);
    return;
  }
  const QString proposedText = Text(formats::DisplayDate(proposed));
  for (int i = 0; i < host.quoteRowCount(); ++i) {
    if (host.quoteCellText(i, 0) == proposedText) {
      host.prompt().Message(maintenance::DateExistsMessage(proposedText.toStdString()));
      return;
    }
  }

  CAddQuoteDialog dialog(proposedText, host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;
  const QString newDateText = dialog.newDate();
  const formats::QuoteDate newDate = formats::ParseDisplayDate(newDateText.toStdString());
  if (newDate == 0 || !Apply(host, maintenance::BuildInsertChange(newDate),
                             maintenance::kAddQuoteTitle, newDateText)) {
    host.prompt().Message(maintenance::kAddQuoteFailed);
    host.FillQuotesGrid(0);
    return;
  }
  Record(host, "Add", {{"Date", newDateText}});
  // Rows run newest first, so the new, older quote sits right below the current one.
  host.FillQuotesGrid(row + 1);
  EditQuote(host);
}

void DeleteQuote(CommandHost& host) {
  if (RefusedForSharedDate(host, ShapeOf(host), "Delete"))
    return;
  const QString date = SelectedDateText(host);
  CDeleteQuoteDialog dialog(host, date, host.dialogParent());
  if (RunDialog(dialog) != QDialog::Accepted)
    return;
  const formats::QuoteDate day = formats::ParseDisplayDate(date.toStdString());
  if (day == 0 ||
      !Apply(host, maintenance::BuildDeleteChange(day), maintenance::kDeleteQuoteTitle, date)) {
    host.prompt().Message(maintenance::kDeleteEditFailed);
    return;
  }
  Record(host, "Delete", {{"Date", date}});
  host.FillQuotesGrid(0);
}

void OpenSplitSearch(CommandHost& host) {
  auto* window = new CSplitSearchDialog(host, host.dialogParent());
  window->show();
}

void ShowSeriesFacts(CommandHost& host) {
  const int row = host.selSymbolRow();
  const QString symbol = host.symbolCellText(row, 0);
  formats::SeriesFacts facts;
  int result = 0;
  {
    CWaitCursor wait;
    result = formats::ReadSeriesFacts(PortfolioPath(host), RecordBytes(symbol), facts);
  }
  if (result != 0) {
    host.prompt().Message(maintenance::FactsUnreadableMessage(RecordBytes(symbol)),
                          maintenance::PromptIcon::kWarning);
    return;
  }
  CSeriesFactsDialog dialog(facts, host.dialogParent());
  RunDialog(dialog);
}

}  // namespace ledgrix::commands
