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
  CEditQuoteDialog(CommandHost& host, const std::array<bool, 6>& fieldHeld,
                   QWidget* parent = nullptr);

  // The texts as they stand: the date of the quote shown last and the six values.
  ledgrix::maintenance::EditEntries entries() const;

  void accept() override;

 private:
  // Shows the quotes-grid row that is current in the view and enables the steps from it.
  void Fill();
  void StepTo(int row);

  CommandHost& m_host;
  std::array<bool, 6> m_fieldHeld;
  QLabel* m_date = nullptr;
  std::array<CNumberEdit*, 6> m_values{};
  QPushButton* m_previous = nullptr;
  QPushButton* m_next = nullptr;
  QPushButton* m_first = nullptr;
  QPushButton* m_last = nullptr;
};
