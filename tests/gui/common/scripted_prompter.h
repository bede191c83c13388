// A Prompter for GUI tests: answers yes/no questions from a script (default "No") and
// records every question and message, so no message box ever blocks a test.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/jobs/prompter.h"

namespace quelt::test {

class ScriptedPrompter : public Prompter {
  public:
    struct Entry {
        std::string caption, text;
    };

    bool AskYesNo(const std::string& caption, const std::string& text) override {
        questions.push_back({caption, text});
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(const std::string& caption, const std::string& text) override {
        messages.push_back({caption, text});
    }

    std::deque<bool> answers;
    std::vector<Entry> questions;
    std::vector<Entry> messages;
};

}  // namespace quelt::test
