#include "gui/options/convert_options_page.h"

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
#include "gui/common/output_folder_field.h"

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

    // An empty folder setting takes the default folder, which stays even when the sheet is
    // cancelled.
    ApplyConvertFolderDefault(settings_.convert);
    const ConvertSettings& c = settings_.convert;
    outputDirectory_->setChecked(c.bOutputDirectory);
    folder_->setText(QString::fromStdString(c.outputDirectory));
    rename_->setChecked(c.bOutputNameIndex);
    names_->setCurrentIndex(
        c.outputNameIndex >= 0 && c.outputNameIndex < names_->count() ? c.outputNameIndex : -1);
    metadata_->setChecked(c.metadata);
    const int rule = static_cast<int>(c.ifExists);
    ifExists_->setCurrentIndex(rule >= 0 && rule < ifExists_->count() ? rule : -1);
    deleteSource_->setChecked(c.deleteSource);
    jobs_->setValue(c.jobs);
    replayGain_->setChecked(c.replayGain);
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
    ConvertSettings& c = settings_.convert;
    c.bOutputDirectory = outputDirectory_->isChecked();
    c.outputDirectory = StoredOutputFolder(folder_->text());
    c.bOutputNameIndex = rename_->isChecked();
    c.outputNameIndex = names_->currentIndex();
    c.metadata = metadata_->isChecked();
    c.ifExists = static_cast<IfExists>(ifExists_->currentIndex());
    c.deleteSource = deleteSource_->isChecked();
    c.jobs = jobs_->value();
    c.replayGain = replayGain_->isChecked();
}

}  // namespace quelt
