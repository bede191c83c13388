// The "File Converter" tab of the options: where converted files go, renaming by template,
// tags, the existing-file rule, source deletion, files converted at once and ReplayGain
// tags (section "Convert"). Filled from the
// settings when its tab opens; stored into them on "OK".
#pragma once

#include <functional>

#include "gui/options/options_page.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace quelt {

struct Settings;

class ConvertOptionsPage : public OptionsPage {
    Q_OBJECT
  public:
    explicit ConvertOptionsPage(Settings& settings, QWidget* parent = nullptr);
    void Load() override;
    void Store() override;

    // The folder browser (a QFileDialog by default); tests replace it. Returns "" when
    // the user cancels.
    void SetFolderChooser(std::function<QString(QWidget*)> chooser);
    void Browse();

    QCheckBox* outputDirectoryBox() const { return outputDirectory_; }
    QLineEdit* outputDirectoryEdit() const { return folder_; }
    QPushButton* browseButton() const { return browse_; }
    QSpinBox* jobsBox() const { return jobs_; }

  private:
    void UpdateEnabled();

    Settings& settings_;
    std::function<QString(QWidget*)> chooseFolder_;
    QCheckBox* outputDirectory_;  // 1034
    QLineEdit* folder_;           // 1037
    QPushButton* browse_;         // 1038
    QCheckBox* rename_;           // 1035
    QComboBox* names_;            // 1036
    QCheckBox* metadata_;         // 1005
    QComboBox* ifExists_;         // 1033
    QCheckBox* deleteSource_;     // 1032
    QSpinBox* jobs_;              // files converted at once, 0: one per core
    QCheckBox* replayGain_;
};

}  // namespace quelt
