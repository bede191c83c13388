// The Prompter of the GUI: questions and messages as modal message boxes over a parent.
#pragma once

#include <QPointer>
#include <QWidget>

#include "core/jobs/prompter.h"

namespace quelt {

class MessageBoxPrompter : public Prompter {
  public:
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    // GUI thread only.
    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace quelt
