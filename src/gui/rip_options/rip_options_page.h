// The "CD Ripper" tab of the options: where ripped tracks go, the naming template (with the
// custom pattern's dialog behind "..."), and the eject, metadata, playlist and tray-lock
// switches of section "CDRIP". Filled from the settings when its tab opens; stored through
// the coded accessor (100; 101, 103, 106, 107, 108, 110) on "OK". GUI thread only.
#pragma once

#include <functional>

#include "gui/app/options_page.h"

class QCheckBox;
class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;

namespace quelt {

struct Settings;

class RipOptionsPage : public OptionsPage {
    Q_OBJECT
  public:
    // The template list entry that names files by the custom pattern.
    static constexpr int kCustomTemplate = 11;

    explicit RipOptionsPage(Settings& settings, QWidget* parent = nullptr);
    void Load() override;
    void Store() override;

    // The folder browser (a QFileDialog by default); tests replace it. Returns "" when
    // the user cancels.
    void SetFolderChooser(std::function<QString(QWidget*)> chooser);
    // Runs the custom pattern's dialog (modally by default); tests replace it.
    void SetDialogRunner(std::function<void(QDialog&)> run);
    void Browse();
    void EditCustomPattern();

    QLineEdit* outputDirectoryEdit() const { return folder_; }  // 1000
    QPushButton* browseButton() const { return browse_; }       // 1001
    QComboBox* nameList() const { return names_; }              // 1002
    QPushButton* customButton() const { return custom_; }       // 1003
    QCheckBox* ejectBox() const { return eject_; }              // 1004
    QCheckBox* metadataBox() const { return metadata_; }        // 1005
    QCheckBox* playlistBox() const { return playlist_; }        // 1006
    QCheckBox* lockTrayBox() const { return lockTray_; }        // 1007

  private:
    void UpdateCustomButton();

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
};

}  // namespace quelt
