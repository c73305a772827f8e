// Help > Help Topics: the bundled user guide in a window of its own.
#pragma once

#include <QDialog>

class QTextBrowser;

class CHelpWindow final : public QDialog {
 public:
  explicit CHelpWindow(QWidget* parent);
  QTextBrowser* browser() const { return m_browser; }

 private:
  QTextBrowser* m_browser = nullptr;
};
