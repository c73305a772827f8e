// "Move Symbol" / "Copy Symbol": names the symbol and offers every other portfolio as the
// destination.
#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

class CMoveSymbolDialog : public QDialog {
  Q_OBJECT

 public:
  // portfolios: every entry of the portfolio list; current: the selected one, left out.
  CMoveSymbolDialog(const QString& symbol, const QString& name, const QString& portfolioDir,
                    const QStringList& portfolios, int current, bool moveMode,
                    QWidget* parent = nullptr);

  // The chosen destination; empty when the list had no selection at OK.
  QString destination() const { return m_destination; }
  bool moveMode() const { return m_moveMode; }

  void accept() override;

 private:
  QListWidget* m_list;
  QString m_destination;
  bool m_moveMode;
};
