// "Import Quotes": a text file of quotes, a preview of its first quotes as read, the symbol and
// name, and whether the quotes make a new symbol or replace or merge into an existing one.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "maintenance/prompt.h"
#include "maintenance/quote_import.h"
#include "maintenance/quote_text.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QTableWidget;

class CImportDialog : public QDialog {
  Q_OBJECT

 public:
  // Asks for a file to read, starting from current; empty when the user cancels.
  using FileChooser = std::function<QString(QWidget* parent, const QString& current)>;

  // shownSymbol is offered for a replace or merge when the symbol field is empty.
  CImportDialog(const QString& shownSymbol, ledgrix::maintenance::Prompt& prompt,
                QWidget* parent = nullptr);

  void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

  // What was accepted: the quotes read, the symbol (ASCII), the name (Windows-1252) and the mode.
  const ledgrix::maintenance::QuoteText& quotes() const { return m_quotes; }
  const std::string& symbol() const { return m_symbol; }
  const std::string& name() const { return m_name; }
  ledgrix::maintenance::ImportMode mode() const;

  // Stays open, with a message, while the file cannot be read or the fields are unusable.
  void accept() override;

  static QString ChooseOpenFile(QWidget* parent, const QString& current);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnBrowse();
  void OnModeChosen();
  // Reads the file the path field names into the preview (or its problems into the status).
  void LoadFile();

  ledgrix::maintenance::Prompt& m_prompt;
  FileChooser m_chooseFile;
  QString m_shownSymbol;
  QString m_loadedPath;
  bool m_readable = false;
  std::string m_problems;
  ledgrix::maintenance::QuoteText m_quotes;
  std::string m_symbol;
  std::string m_name;

  QLineEdit* m_pathEdit;
  QTableWidget* m_preview;
  QLabel* m_status;
  QLineEdit* m_symbolEdit;
  QLineEdit* m_nameEdit;
  QButtonGroup* m_modeGroup;
};
