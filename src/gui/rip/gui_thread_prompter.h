// A Prompter that may be called from any thread. On the GUI thread it asks the wrapped
// prompter directly. From another thread (the grabber's read-retry warning arrives on the
// rip worker) a message is queued to the GUI thread and the caller goes on at once: the
// worker never waits for the user, and a worker that is being joined cannot deadlock on a
// message box. A question from another thread waits for the answer on the GUI thread.
#pragma once

#include <QObject>

#include "core/jobs/prompter.h"

namespace quelt {

class GuiThreadPrompter : public Prompter {
  public:
    // `inner` must outlive this object; `guiObject` is any object living on the GUI thread
    // (queued messages are dropped when it is destroyed first).
    GuiThreadPrompter(Prompter& inner, QObject* guiObject) : inner_(inner), gui_(guiObject) {}

    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;

  private:
    bool OnGuiThread() const;
    Prompter& inner_;
    QObject* gui_;
};

}  // namespace quelt
