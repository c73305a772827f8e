// CAboutDialog: "About Ledgrix", with the legal text and the mail and web links.
#pragma once

#include <QDialog>

class CStaticLink;

class CAboutDialog : public QDialog {
  Q_OBJECT

 public:
  // The visited flags belong to the application, so a link opened once stays purple.
  CAboutDialog(int& mailVisited, int& webVisited, QWidget* parent = nullptr);

  // The notice, then the two trademark notes.
  static QString LegalText();

  CStaticLink* mailLink() const { return m_mailLink; }
  CStaticLink* webLink() const { return m_webLink; }

 private:
  CStaticLink* m_mailLink;
  CStaticLink* m_webLink;
  QString m_legalText;
};
