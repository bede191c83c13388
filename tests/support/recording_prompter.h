// A Prompter for tests: it keeps every question and message as "caption: text" and answers
// every question with `answer`.
#pragma once

#include <string>
#include <vector>

#include "core/jobs/prompter.h"

namespace quelt::test {

class RecordingPrompter : public Prompter {
  public:
    bool AskYesNo(const std::string& caption, const std::string& text) override {
        questions.push_back(caption + ": " + text);
        return answer;
    }
    void ShowMessage(const std::string& caption, const std::string& text) override {
        messages.push_back(caption + ": " + text);
    }
    bool answer = true;
    std::vector<std::string> questions, messages;
};

}  // namespace quelt::test
