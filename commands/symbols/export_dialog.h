// "Export": output file, delimiter, omitted columns, title row and order of an export.
#pragma once

#include <QDialog>
#include <array>
#include <functional>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;

// The dialog's members, loaded from and saved to the "XportSel" settings.
struct ExportChoices {
  QString path;
  int delimiter = -1;          // radio index: 0 space, 1 comma, 2 tab; -1 none
  std::array<bool, 6> omit{};  // Open, High, Low, Close, Volume, Open Interest
  bool title = false;
  int order = -1;  // radio index: 0 oldest first, 1 newest first; -1 none
};

class CExportDialog : public QDialog {
  Q_OBJECT

 public:
  // Asks for a file to save to, starting from current; empty when the user cancels.
  using FileChooser = std::function<QString(QWidget* parent, const QString& current)>;

  explicit CExportDialog(const ExportChoices& choices, QWidget* parent = nullptr);

  const ExportChoices& choices() const { return m_choices; }
  void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

  void accept() override;

  // The Save As dialog of the program: *.txt by default, no overwrite question of its own.
  static QString ChooseSaveFile(QWidget* parent, const QString& current);

 private:
  void ReadFields();
  void OnBrowse();
  void SetPathText(const QString& text);
  QButtonGroup* RadioGroup(const QStringList& texts, const QStringList& names, int checked,
                           QWidget* box);

  ExportChoices m_choices;
  FileChooser m_chooseFile;
  QLineEdit* m_pathEdit;
  QButtonGroup* m_delimiterGroup = nullptr;
  QButtonGroup* m_orderGroup = nullptr;
  std::array<QCheckBox*, 6> m_omitChecks{};
  QCheckBox* m_titleCheck = nullptr;
};
