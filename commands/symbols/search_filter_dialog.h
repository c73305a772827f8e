// "Portfolio Search Filter": the limit switch, the filter path and the automatic MASTER repair.
#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QLineEdit;

namespace ledgrix::maintenance {
class Prompt;
}

class CSearchFilterDialog : public QDialog {
  Q_OBJECT

 public:
  // isOnListedVolume: the test a limited filter path must pass before OK closes the dialog.
  CSearchFilterDialog(bool limit, const QString& path, bool masterFix,
                      std::function<bool(const QString&)> isOnListedVolume,
                      ledgrix::maintenance::Prompt& prompt, QWidget* parent = nullptr);

  bool limit() const { return m_limit; }
  QString path() const { return m_path; }
  bool masterFix() const { return m_masterFix; }

  void accept() override;

 private:
  void ReadFields();
  void OnLimitClicked();

  std::function<bool(const QString&)> m_isOnListedVolume;
  ledgrix::maintenance::Prompt& m_prompt;
  QCheckBox* m_limitCheck;
  QLineEdit* m_pathEdit;
  QCheckBox* m_masterFixCheck;
  bool m_limit;
  QString m_path;
  bool m_masterFix;
};
