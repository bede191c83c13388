// The "CD Ripper" tab of the options: where ripped tracks go, the naming template (with the
// custom pattern's dialog behind "..."), and the eject, metadata, playlist and tray-lock
// switches of section "CDRIP". Filled from the settings when its tab opens; stored into them
// on "OK". Below them, the proof of
// a rip: AccurateRip, the rip log, the cue sheet and the current drive's read offset, with
// a button that finds the offset on a worker thread. GUI thread only.
#pragma once

#include <functional>

#include "gui/options/options_page.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QLineEdit;
class QLabel;
class QPushButton;
class QSpinBox;

namespace quelt {

struct Settings;
class CdGrabber;
struct OffsetDetection;

class RipOptionsPage : public OptionsPage {
    Q_OBJECT
  public:
    // The template list entry that names files by the custom pattern.
    static constexpr int kCustomTemplate = 11;

    // `grabber` (may be null) names the current drive, whose read offset the page shows and
    // finds; it must not be read by anyone else while the options sheet is shown.
    explicit RipOptionsPage(Settings& settings, CdGrabber* grabber = nullptr,
                            QWidget* parent = nullptr);
    void Load() override;
    void Store() override;

    // The folder browser (a QFileDialog by default); tests replace it. Returns "" when
    // the user cancels.
    void SetFolderChooser(std::function<QString(QWidget*)> chooser);
    // Runs the custom pattern's dialog (modally by default); tests replace it.
    void SetDialogRunner(std::function<void(QDialog&)> run);
    void Browse();
    void EditCustomPattern();
    // Finds the current drive's read offset with the disc in it (a progress dialog with
    // Cancel while it reads) and puts it in the offset field; says why when it cannot.
    void DetectOffset();
    // Shows the outcome of a detection (the message box by default; tests replace it).
    void SetOutcomeShower(std::function<void(const QString&)> show);

    QLineEdit* outputDirectoryEdit() const { return folder_; }  // 1000
    QPushButton* browseButton() const { return browse_; }       // 1001
    QComboBox* nameList() const { return names_; }              // 1002
    QPushButton* customButton() const { return custom_; }       // 1003
    QCheckBox* ejectBox() const { return eject_; }              // 1004
    QCheckBox* lockTrayBox() const { return lockTray_; }        // 1007
    QCheckBox* accurateRipBox() const { return accurateRip_; }
    QSpinBox* offsetBox() const { return offset_; }
    QPushButton* detectButton() const { return detect_; }

  private:
    void UpdateCustomButton();
    bool CurrentDrive(std::string& vendor, std::string& model) const;

    Settings& settings_;
    std::function<QString(QWidget*)> chooseFolder_;
    std::function<void(QDialog&)> runDialog_;
    QLineEdit* folder_;
    QPushButton* browse_;
    QComboBox* names_;
    QPushButton* custom_;
    QCheckBox* eject_;
    QCheckBox* metadata_;
    QCheckBox* playlist_;
    QCheckBox* lockTray_;
    QCheckBox* replayGain_;
    CdGrabber* grabber_;
    std::function<void(const QString&)> showOutcome_;
    QCheckBox* accurateRip_;
    QCheckBox* ripLog_;
    QCheckBox* cueSheet_;
    QLabel* offsetLabel_;
    QSpinBox* offset_;
    QPushButton* detect_;
};

}  // namespace quelt
