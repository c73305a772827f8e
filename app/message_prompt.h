// Messages and questions as message boxes.
#pragma once

#include <QPointer>
#include <QWidget>

#include "maintenance/prompt.h"

class CMessageBoxPrompt final : public ledgrix::maintenance::Prompt {
 public:
  void SetParent(QWidget* parent) { m_parent = parent; }
  void Message(std::string_view text, ledgrix::maintenance::PromptIcon icon) override;
  bool AskYesNo(std::string_view text) override;

 private:
  QPointer<QWidget> m_parent;
};
