#include "gui/options/options_sheet.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/common/icon_painter.h"
#include "gui/options/options_page.h"

namespace quelt {

OptionsSheet::OptionsSheet(std::vector<Tab> tabs, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral(" Options"));
    setWindowIcon(AppIcon());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    tabs_ = new QTabWidget;
    tabs_->setUsesScrollButtons(false);  // all four tabs in sight
    for (auto& tab : tabs) {
        tabs_->addTab(tab.page, tab.label);
        pages_.push_back(tab.page);
        opened_.push_back(false);
    }
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &OptionsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &OptionsSheet::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);

    setMinimumWidth(500);
    if (!pages_.empty()) OpenTab(0);
    connect(tabs_, &QTabWidget::currentChanged, this, &OptionsSheet::OpenTab);
}

void OptionsSheet::OpenTab(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size()) || opened_[index]) return;
    opened_[index] = true;
    pages_[index]->Load();
}

void OptionsSheet::accept() {
    for (size_t i = 0; i < pages_.size(); ++i)
        if (opened_[i]) pages_[i]->Store();
    QDialog::accept();
}

}  // namespace quelt
