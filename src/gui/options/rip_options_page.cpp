#include "gui/options/rip_options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <memory>
#include <thread>

#include "core/jobs/component_error.h"
#include "core/naming/paths.h"
#include "core/naming/templates.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/offset_detection.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/common/output_folder_field.h"
#include "gui/options/custom_name_dialog.h"

namespace quelt {

RipOptionsPage::RipOptionsPage(Settings& settings, CdGrabber* grabber, QWidget* parent)
    : OptionsPage(parent), settings_(settings), grabber_(grabber) {
    showOutcome_ = [this](const QString& text) {
        QMessageBox::information(this, QStringLiteral("Quelt CD Ripper Pro - Audio CD Ripper"),
                                 text);
    };
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
    replayGain_ = new QCheckBox(QStringLiteral("Write ReplayGain tags (the disc is the album)"));

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
    for (QCheckBox* box : {eject_, metadata_, playlist_, lockTray_, replayGain_})
        whenColumn->addWidget(box);

    accurateRip_ = new QCheckBox(QStringLiteral("Verify tracks with AccurateRip"));
    ripLog_ = new QCheckBox(QStringLiteral("Write a rip log beside the files"));
    cueSheet_ = new QCheckBox(QStringLiteral("Write a cue sheet beside the files"));
    offsetLabel_ = new QLabel(QStringLiteral("Read offset (samples):"));
    offset_ = new QSpinBox;
    offset_->setRange(-kMaxReadOffset, kMaxReadOffset);
    offset_->setAccessibleName(QStringLiteral("Read offset"));
    offset_->setToolTip(
        QStringLiteral("The read offset correction of the current drive, kept per drive"));
    detect_ = new QPushButton(QStringLiteral("Detect..."));
    detect_->setToolTip(
        QStringLiteral("Find the offset with a disc the AccurateRip database knows"));
    auto* proof = new QGroupBox(QStringLiteral("Proof of the rip"));
    auto* proofGrid = new QGridLayout(proof);
    proofGrid->addWidget(accurateRip_, 0, 0, 1, 3);
    proofGrid->addWidget(ripLog_, 1, 0, 1, 3);
    proofGrid->addWidget(cueSheet_, 2, 0, 1, 3);
    proofGrid->addWidget(offsetLabel_, 3, 0);
    proofGrid->addWidget(offset_, 3, 1);
    proofGrid->addWidget(detect_, 3, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(when);
    layout->addWidget(proof);
    layout->addStretch(1);
    connect(detect_, &QPushButton::clicked, this, &RipOptionsPage::DetectOffset);

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

    // An empty folder setting takes the default folder, which stays even when the sheet is
    // cancelled.
    ApplyRipFolderDefault(settings_.rip);
    const RipSettings& rip = settings_.rip;
    folder_->setText(QString::fromStdString(rip.outputDirectory));
    names_->setCurrentIndex(rip.outputNameIndex >= 0 && rip.outputNameIndex < names_->count()
                                ? rip.outputNameIndex
                                : -1);
    eject_->setChecked(rip.ejectAfterRip);
    metadata_->setChecked(rip.metadata);
    playlist_->setChecked(rip.createM3U);
    lockTray_->setChecked(rip.lockTray);
    replayGain_->setChecked(rip.replayGain);
    accurateRip_->setChecked(rip.accurateRip);
    ripLog_->setChecked(rip.ripLog);
    cueSheet_->setChecked(rip.ripCue);
    std::string vendor, model;
    const bool drive = CurrentDrive(vendor, model);
    offsetLabel_->setText(drive
                              ? QStringLiteral("Read offset of %1 (samples):")
                                    .arg(QString::fromStdString(vendor + " " + model).simplified())
                              : QStringLiteral("Read offset (samples):"));
    offset_->setValue(drive ? ReadOffsetFor(rip, vendor, model) : 0);
    offset_->setEnabled(drive);
    detect_->setEnabled(drive);
    UpdateCustomButton();
}

bool RipOptionsPage::CurrentDrive(std::string& vendor, std::string& model) const {
    if (!grabber_) return false;
    try {
        if (grabber_->DriveCount() == 0) return false;
        vendor = grabber_->DriveText1();
        model = grabber_->DriveText2();
        return true;
    } catch (const ComponentError&) {
        return false;
    }
}

void RipOptionsPage::SetOutcomeShower(std::function<void(const QString&)> show) {
    showOutcome_ = std::move(show);
}

void RipOptionsPage::DetectOffset() {
    if (!grabber_) return;
    struct Shared {
        std::atomic<bool> cancel{false};
        std::atomic<int> percent{0};
        std::atomic<bool> done{false};
        OffsetDetection result;
    };
    auto shared = std::make_shared<Shared>();
    CdGrabber* grabber = grabber_;
    const std::string server = settings_.rip.accurateRipServer;
    std::thread worker([shared, grabber, server] {
        try {
            shared->result = DetectReadOffset(*grabber, server, shared->cancel,
                                              [&](int percent) { shared->percent = percent; });
        } catch (const std::exception& error) {
            shared->result.text = error.what();
        }
        shared->done = true;
    });

    QProgressDialog progress(QStringLiteral("Reading a track to find the read offset..."),
                             QStringLiteral("Cancel"), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QTimer poll;
    connect(&poll, &QTimer::timeout, &progress, [&] {
        progress.setValue(shared->percent.load());
        if (shared->done.load()) progress.accept();
    });
    connect(&progress, &QProgressDialog::canceled, &progress, [&] { shared->cancel = true; });
    poll.start(100);
    if (!shared->done.load()) progress.exec();
    shared->cancel = true;
    worker.join();
    poll.stop();
    const OffsetDetection& result = shared->result;
    if (result.found) offset_->setValue(result.offset);
    if (!result.text.empty()) showOutcome_(QString::fromStdString(result.text));
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
    RipSettings& rip = settings_.rip;
    rip.outputDirectory = StoredOutputFolder(folder_->text());
    rip.outputNameIndex = names_->currentIndex();
    rip.ejectAfterRip = eject_->isChecked();
    rip.metadata = metadata_->isChecked();
    rip.createM3U = playlist_->isChecked();
    rip.lockTray = lockTray_->isChecked();
    rip.replayGain = replayGain_->isChecked();
    rip.accurateRip = accurateRip_->isChecked();
    rip.ripLog = ripLog_->isChecked();
    rip.ripCue = cueSheet_->isChecked();
    std::string vendor, model;
    if (CurrentDrive(vendor, model) && offset_->value() != ReadOffsetFor(rip, vendor, model))
        SetReadOffsetFor(rip, vendor, model, offset_->value());
}

}  // namespace quelt
