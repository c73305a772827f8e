#include "app/message_prompt.h"

#include <QMessageBox>
#include <QString>

using ledgrix::maintenance::PromptIcon;

namespace {

QMessageBox::Icon BoxIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::kInformation:
      return QMessageBox::Information;
    case PromptIcon::kWarning:
      return QMessageBox::Warning;
    case PromptIcon::kStop:
      return QMessageBox::Critical;
    case PromptIcon::kQuestion:
      return QMessageBox::Question;
    case PromptIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void CMessageBoxPrompt::Message(std::string_view text, PromptIcon icon) {
  QMessageBox box(BoxIcon(icon), QStringLiteral("Ledgrix"), Text(text), QMessageBox::Ok, m_parent);
  box.exec();
}

bool CMessageBoxPrompt::AskYesNo(std::string_view text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Ledgrix"), Text(text),
                  QMessageBox::Yes | QMessageBox::No, m_parent);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}
