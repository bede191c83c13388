#include "gui/rip_options/rip_options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/naming/paths.h"
#include "core/naming/templates.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/rip_options/custom_name_dialog.h"

namespace quelt {

namespace {

// The folder the field names, as the rip stores it: "~" stands for the home folder, the
// text ends in "/" (names are appended to it), and an empty field means the default
// output folder rather than the root of the file system.
std::string StoredFolder(const QString& field) {
    QString folder = field.trimmed().isEmpty() ? QString() : field;
    if (folder.isEmpty()) return DefaultOutputFolder();
    if (folder == QStringLiteral("~") || folder.startsWith(QStringLiteral("~/")))
        folder = QDir::homePath() + folder.mid(1);
    return WithTrailingBackslash(folder.toStdString());
}

}  // namespace

RipOptionsPage::RipOptionsPage(Settings& settings, QWidget* parent)
    : OptionsPage(parent), settings_(settings) {
    chooseFolder_ = [](QWidget* owner) {
        return QFileDialog::getExistingDirectory(owner,
                                                 QStringLiteral("Browse for output directory:"),
                                                 QString::fromStdString(DialogStartFolder()));
    };
    runDialog_ = [](QDialog& dialog) { dialog.exec(); };

    folder_ = new QLineEdit;
    browse_ = new QPushButton(QStringLiteral("..."));
    browse_->setFixedWidth(36);
    names_ = new QComboBox;
    custom_ = new QPushButton(QStringLiteral("..."));
    custom_->setFixedWidth(36);
    eject_ = new QCheckBox(QStringLiteral("Eject device tray when ripping is completed"));
    metadata_ = new QCheckBox(QStringLiteral("Always add metadata "));
    playlist_ = new QCheckBox(QStringLiteral("Create .m3u playlist"));
    lockTray_ = new QCheckBox(QStringLiteral("Lock tray when cd ripping"));

    auto* where = new QGroupBox(QStringLiteral("Save CD tracks to this directory"));
    auto* whereGrid = new QGridLayout(where);
    whereGrid->addWidget(new QLabel(QStringLiteral("Output directory:")), 0, 0, 1, 2);
    whereGrid->addWidget(folder_, 1, 0);
    whereGrid->addWidget(browse_, 1, 1);
    whereGrid->addWidget(new QLabel(QStringLiteral("Output filenames:")), 2, 0, 1, 2);
    whereGrid->addWidget(names_, 3, 0);
    whereGrid->addWidget(custom_, 3, 1);

    auto* when = new QGroupBox;
    auto* whenColumn = new QVBoxLayout(when);
    for (QCheckBox* box : {eject_, metadata_, playlist_, lockTray_}) whenColumn->addWidget(box);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(when);
    layout->addStretch(1);

    connect(browse_, &QPushButton::clicked, this, &RipOptionsPage::Browse);
    connect(custom_, &QPushButton::clicked, this, &RipOptionsPage::EditCustomPattern);
    connect(names_, &QComboBox::currentIndexChanged, this, &RipOptionsPage::UpdateCustomButton);
}

void RipOptionsPage::SetFolderChooser(std::function<QString(QWidget*)> chooser) {
    chooseFolder_ = std::move(chooser);
}

void RipOptionsPage::SetDialogRunner(std::function<void(QDialog&)> run) {
    runDialog_ = std::move(run);
}

void RipOptionsPage::Load() {
    names_->clear();
    for (const auto& label : RipTemplateLabels()) names_->addItem(QString::fromStdString(label));

    // Reading the folder through the accessor puts the default folder into an empty
    // setting, where it stays even when the sheet is cancelled.
    folder_->setText(QString::fromStdString(GetSettingText(settings_, kModeRip, 101)));
    const RipSettings& rip = settings_.rip;
    names_->setCurrentIndex(rip.outputNameIndex >= 0 && rip.outputNameIndex < names_->count()
                                ? rip.outputNameIndex
                                : -1);
    eject_->setChecked(rip.ejectAfterRip == 1);
    metadata_->setChecked(rip.metadata == 1);
    playlist_->setChecked(rip.createM3U == 1);
    lockTray_->setChecked(rip.lockTray == 1);
    UpdateCustomButton();
}

void RipOptionsPage::UpdateCustomButton() {
    custom_->setEnabled(names_->currentIndex() == kCustomTemplate);
}

void RipOptionsPage::Browse() {
    const QString chosen = chooseFolder_(this);
    if (!chosen.isEmpty())
        folder_->setText(QString::fromStdString(WithTrailingBackslash(chosen.toStdString())));
}

void RipOptionsPage::EditCustomPattern() {
    CustomNameDialog dialog(settings_, this);
    runDialog_(dialog);
}

void RipOptionsPage::Store() {
    auto state = [](QCheckBox* box) { return std::string(box->isChecked() ? "1" : "0"); };
    SetSettingText(settings_, kModeRip, 101, StoredFolder(folder_->text()));
    SetSettingText(settings_, kModeRip, 103, std::to_string(names_->currentIndex()));
    SetSettingText(settings_, kModeRip, 106, state(eject_));
    SetSettingText(settings_, kModeRip, 107, state(metadata_));
    SetSettingText(settings_, kModeRip, 108, state(playlist_));
    SetSettingText(settings_, kModeRip, 110, state(lockTray_));
}

}  // namespace quelt
