#include "gui/app/burner_options_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/settings/settings.h"

namespace quelt {

BurnerOptionsPage::BurnerOptionsPage(Settings& settings, QWidget* parent)
    : OptionsPage(parent), settings_(settings) {
    label_ = new QLineEdit;
    finalize_ = new QCheckBox(QStringLiteral("Finalize disc"));
    eject_ = new QCheckBox(QStringLiteral("Eject after burning completed"));
    testMode_ = new QCheckBox(QStringLiteral("Test mode(don't write to disc)"));

    auto* group = new QGroupBox(QStringLiteral("Settings"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Disc volume label"), label_);
    auto* column = new QVBoxLayout(group);
    column->addLayout(form);
    column->addWidget(finalize_);
    column->addWidget(eject_);
    column->addWidget(testMode_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addStretch(1);
}

void BurnerOptionsPage::Load() {
    label_->setText(QString::fromStdString(settings_.burn.volumeLabel));
    finalize_->setChecked(settings_.burn.finalize == 1);
    eject_->setChecked(settings_.burn.ejectAfterBurn == 1);
    testMode_->setChecked(settings_.burn.testMode == 1);
}

void BurnerOptionsPage::Store() {
    auto state = [](QCheckBox* box) { return std::string(box->isChecked() ? "1" : "0"); };
    SetSettingText(settings_, kModeBurn, 301, label_->text().toStdString());
    SetSettingText(settings_, kModeBurn, 302, state(eject_));
    SetSettingText(settings_, kModeBurn, 303, state(finalize_));
    SetSettingText(settings_, kModeBurn, 304, state(testMode_));
}

}  // namespace quelt
