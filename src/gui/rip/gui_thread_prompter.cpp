#include "gui/rip/gui_thread_prompter.h"

#include <QMetaObject>
#include <QThread>

namespace quelt {

bool GuiThreadPrompter::OnGuiThread() const { return QThread::currentThread() == gui_->thread(); }

bool GuiThreadPrompter::AskYesNo(const std::string& caption, const std::string& text) {
    if (OnGuiThread()) return inner_.AskYesNo(caption, text);
    bool answer = false;
    QMetaObject::invokeMethod(
        gui_, [&] { answer = inner_.AskYesNo(caption, text); }, Qt::BlockingQueuedConnection);
    return answer;
}

void GuiThreadPrompter::ShowMessage(const std::string& caption, const std::string& text) {
    if (OnGuiThread()) {
        inner_.ShowMessage(caption, text);
        return;
    }
    QMetaObject::invokeMethod(
        gui_, [this, caption, text] { inner_.ShowMessage(caption, text); }, Qt::QueuedConnection);
}

}  // namespace quelt
