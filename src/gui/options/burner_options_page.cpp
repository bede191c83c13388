#include "gui/options/burner_options_page.h"

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
    finalize_->setChecked(settings_.burn.finalize);
    eject_->setChecked(settings_.burn.ejectAfterBurn);
    testMode_->setChecked(settings_.burn.testMode);
}

void BurnerOptionsPage::Store() {
    BurnSettings& burn = settings_.burn;
    burn.volumeLabel = label_->text().toStdString();
    burn.ejectAfterBurn = eject_->isChecked();
    burn.finalize = finalize_->isChecked();
    burn.testMode = testMode_->isChecked();
}

}  // namespace quelt
