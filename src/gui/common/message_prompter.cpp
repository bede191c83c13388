#include "gui/common/message_prompter.h"

#include <QApplication>
#include <QMessageBox>

namespace quelt {

namespace {
QWidget* Owner(QWidget* preferred) {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return preferred;
}
}  // namespace

bool MessageBoxPrompter::AskYesNo(const std::string& caption, const std::string& text) {
    return QMessageBox::question(Owner(parent_), QString::fromStdString(caption),
                                 QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void MessageBoxPrompter::ShowMessage(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, Owner(parent_));
    box.exec();
}

}  // namespace quelt
