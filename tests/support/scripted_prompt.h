// A Prompt that records every message and answers questions from a script.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "maintenance/prompt.h"

namespace ledgrix::testing {

class ScriptedPrompt final : public maintenance::Prompt {
 public:
  // Answers given in order; when they run out, questions get defaultAnswer.
  explicit ScriptedPrompt(std::deque<bool> answers = {}, bool defaultAnswer = false)
      : answers_(std::move(answers)), defaultAnswer_(defaultAnswer) {}

  void Message(std::string_view text, maintenance::PromptIcon) override {
    messages.emplace_back(text);
  }
  bool AskYesNo(std::string_view text) override {
    questions.emplace_back(text);
    if (answers_.empty())
      return defaultAnswer_;
    bool answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  std::vector<std::string> messages;
  std::vector<std::string> questions;

 private:
  std::deque<bool> answers_;
  bool defaultAnswer_;
};

}  // namespace ledgrix::testing
