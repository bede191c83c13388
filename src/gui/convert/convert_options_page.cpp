#include "gui/convert/convert_options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/naming/templates.h"
#include "core/settings/settings.h"
#include "gui/app/output_folder_field.h"

namespace quelt {

namespace {

QString WithTrailingSlash(QString folder) {
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}

}  // namespace

ConvertOptionsPage::ConvertOptionsPage(Settings& settings, QWidget* parent)
    : OptionsPage(parent), settings_(settings) {
    chooseFolder_ = [](QWidget* owner) {
        return QFileDialog::getExistingDirectory(owner,
                                                 QStringLiteral("Browse for output directory:"));
    };
    outputDirectory_ = new QCheckBox(QStringLiteral("Output directory:"));
    folder_ = new QLineEdit;
    browse_ = new QPushButton(QStringLiteral("..."));
    browse_->setFixedWidth(36);
    rename_ = new QCheckBox(QStringLiteral("Rename output filenames:"));
    names_ = new QComboBox;
    metadata_ = new QCheckBox(QStringLiteral("Always add metadata "));
    ifExists_ = new QComboBox;
    deleteSource_ = new QCheckBox(QStringLiteral("Delete source file after successful conversion"));
    jobs_ = new QSpinBox;
    jobs_->setRange(0, kMaxConvertJobs);
    jobs_->setSpecialValueText(QStringLiteral("One per processor core"));
    jobs_->setAccessibleName(QStringLiteral("Files converted at once"));
    replayGain_ = new QCheckBox(QStringLiteral("Write ReplayGain tags (the batch is the album)"));

    auto* where = new QGroupBox(QStringLiteral("Save convert output files to this directory"));
    auto* whereGrid = new QGridLayout(where);
    whereGrid->addWidget(outputDirectory_, 0, 0, 1, 2);
    whereGrid->addWidget(folder_, 1, 0);
    whereGrid->addWidget(browse_, 1, 1);
    whereGrid->addWidget(rename_, 2, 0, 1, 2);
    whereGrid->addWidget(names_, 3, 0, 1, 2);

    auto* how = new QGroupBox(QStringLiteral("Settings"));
    auto* howColumn = new QVBoxLayout(how);
    howColumn->addWidget(metadata_);
    auto* existsRow = new QHBoxLayout;
    existsRow->addWidget(new QLabel(QStringLiteral("If output file is exists:")));
    existsRow->addWidget(ifExists_, 1);
    howColumn->addLayout(existsRow);
    howColumn->addWidget(deleteSource_);
    auto* jobsRow = new QHBoxLayout;
    jobsRow->addWidget(new QLabel(QStringLiteral("Files converted at once:")));
    jobsRow->addWidget(jobs_, 1);
    howColumn->addLayout(jobsRow);
    howColumn->addWidget(replayGain_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(how);
    layout->addStretch(1);

    connect(outputDirectory_, &QCheckBox::toggled, this, &ConvertOptionsPage::UpdateEnabled);
    connect(rename_, &QCheckBox::toggled, this, &ConvertOptionsPage::UpdateEnabled);
    connect(browse_, &QPushButton::clicked, this, &ConvertOptionsPage::Browse);
}

void ConvertOptionsPage::SetFolderChooser(std::function<QString(QWidget*)> chooser) {
    chooseFolder_ = std::move(chooser);
}

void ConvertOptionsPage::Load() {
    names_->clear();
    for (const auto& label : ConvertTemplateLabels())
        names_->addItem(QString::fromStdString(label));
    ifExists_->clear();
    ifExists_->addItems({QStringLiteral("create new file 'filename(n)'"),
                         QStringLiteral("overwrite"), QStringLiteral("skin file")});

    // Reading the folder through the accessor puts the default folder into an empty
    // setting, where it stays even when the sheet is cancelled.
    const std::string folder = GetSettingText(settings_, kModeConvert, 203);
    const ConvertSettings& c = settings_.convert;
    outputDirectory_->setChecked(c.bOutputDirectory == 1);
    folder_->setText(QString::fromStdString(folder));
    rename_->setChecked(c.bOutputNameIndex == 1);
    names_->setCurrentIndex(
        c.outputNameIndex >= 0 && c.outputNameIndex < names_->count() ? c.outputNameIndex : -1);
    metadata_->setChecked(c.metadata == 1);
    ifExists_->setCurrentIndex(c.ifExists >= 0 && c.ifExists < ifExists_->count() ? c.ifExists
                                                                                  : -1);
    deleteSource_->setChecked(c.deleteSource == 1);
    jobs_->setValue(c.jobs);
    replayGain_->setChecked(c.replayGain == 1);
    UpdateEnabled();
}

void ConvertOptionsPage::UpdateEnabled() {
    folder_->setEnabled(outputDirectory_->isChecked());
    browse_->setEnabled(outputDirectory_->isChecked());
    names_->setEnabled(rename_->isChecked());
}

void ConvertOptionsPage::Browse() {
    const QString chosen = chooseFolder_(this);
    if (!chosen.isEmpty()) folder_->setText(WithTrailingSlash(chosen));
}

void ConvertOptionsPage::Store() {
    auto state = [](QCheckBox* box) { return std::string(box->isChecked() ? "1" : "0"); };
    settings_.convert.bOutputDirectory = outputDirectory_->isChecked() ? 1 : 0;
    const std::string folder = StoredOutputFolder(folder_->text());
    settings_.convert.bOutputNameIndex = rename_->isChecked() ? 1 : 0;
    SetSettingText(settings_, kModeConvert, 202, std::to_string(names_->currentIndex()));
    SetSettingText(settings_, kModeConvert, 203, folder);
    SetSettingText(settings_, kModeConvert, 204, state(metadata_));
    SetSettingText(settings_, kModeConvert, 205, std::to_string(ifExists_->currentIndex()));
    SetSettingText(settings_, kModeConvert, 206, state(deleteSource_));
    settings_.convert.jobs = jobs_->value();
    settings_.convert.replayGain = replayGain_->isChecked() ? 1 : 0;
}

}  // namespace quelt
