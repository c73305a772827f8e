// "About Selected Quote Series": what the MASTER, DAT and DOP files say about one symbol.
#pragma once

#include <QDialog>

#include "formats/facts.h"

class CSeriesFactsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit CSeriesFactsDialog(const ledgrix::formats::SeriesFacts& facts,
                              QWidget* parent = nullptr);
};
