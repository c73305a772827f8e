// How the maintenance layer shows a message or asks a question: the GUI answers with message
// boxes, the CLI with stderr and stdin, tests with a scripted fake.
#pragma once

#include <string_view>

namespace ledgrix::maintenance {

enum class PromptIcon { kNone, kInformation, kWarning, kStop, kQuestion };

class Prompt {
 public:
  virtual ~Prompt() = default;
  // A message with an OK button.
  virtual void Message(std::string_view text, PromptIcon icon = PromptIcon::kNone) = 0;
  // A question with Yes and No buttons; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
};

// Shows nothing and answers every question with the given answer.
class SilentPrompt final : public Prompt {
 public:
  explicit SilentPrompt(bool answer = false) : answer_(answer) {}
  void Message(std::string_view, PromptIcon) override {}
  bool AskYesNo(std::string_view) override { return answer_; }

 private:
  bool answer_;
};

}  // namespace ledgrix::maintenance
