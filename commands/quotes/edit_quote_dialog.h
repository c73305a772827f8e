// "Edit Selected Quote": the six values of one quote, with steps through the series.
#pragma once

#include <QDialog>
#include <array>

#include "maintenance/quote_entry.h"

class CommandHost;
class CNumberEdit;
class QLabel;
class QPushButton;

class CEditQuoteDialog : public QDialog {
  Q_OBJECT

 public:
  // fieldHeld: whether the file holds OPEN ... OI; what stands in a field it lacks is ignored.
  // intraday: the series holds several quotes a day.
  CEditQuoteDialog(CommandHost& host, const std::array<bool, 6>& fieldHeld, bool intraday,
                   QWidget* parent = nullptr);

  // The texts as they stand: the date of the quote shown last and the six values.
  ledgrix::maintenance::EditEntries entries() const;

  void accept() override;

 private:
  // Shows the quotes-grid row that is current in the view and enables the steps from it.
  void Fill();
  void StepTo(int row);
  // In intraday data: the row's date names several quotes, which an edit by date would all hit.
  bool SharesItsDate(int row) const;

  CommandHost& m_host;
  std::array<bool, 6> m_fieldHeld;
  bool m_intraday = false;
  QPushButton* m_ok = nullptr;
  QLabel* m_date = nullptr;
  std::array<CNumberEdit*, 6> m_values{};
  QPushButton* m_previous = nullptr;
  QPushButton* m_next = nullptr;
  QPushButton* m_first = nullptr;
  QPushButton* m_last = nullptr;
};
