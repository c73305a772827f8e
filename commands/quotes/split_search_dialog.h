// "Split Search": a modeless window that looks through every symbol of the portfolio for
// price gaps that look like unrecorded splits, and saves what it found as text.
#pragma once

#include <QDialog>
#include <functional>

class CommandHost;
class QLabel;
class QListWidget;
class QPushButton;

class CSplitSearchDialog : public QDialog {
  Q_OBJECT

 public:
  // Asks where to save the results; an empty text cancels. Tests replace the file dialog.
  using SavePathProvider = std::function<QString(QWidget* parent)>;

  explicit CSplitSearchDialog(CommandHost& host, QWidget* parent = nullptr);

  void RunSplitSearch();
  void SaveSplitResults();

  void setSavePathProvider(SavePathProvider provider) { m_savePath = std::move(provider); }
  QStringList results() const;

 private:
  void SetStatus(const QString& text);

  CommandHost& m_host;
  SavePathProvider m_savePath;
  QLabel* m_status = nullptr;
  QListWidget* m_results = nullptr;
  QPushButton* m_saveAs = nullptr;
};
