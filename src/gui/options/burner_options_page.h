// The "CD Burner" tab of the options: the volume label and the finalize, eject and test-mode
// switches of section "CDBurn", stored into the settings on "OK".
#pragma once

#include "gui/options/options_page.h"

class QCheckBox;
class QLineEdit;

namespace quelt {

struct Settings;

class BurnerOptionsPage : public OptionsPage {
    Q_OBJECT
  public:
    explicit BurnerOptionsPage(Settings& settings, QWidget* parent = nullptr);
    void Load() override;
    void Store() override;

    QLineEdit* labelEdit() const { return label_; }
    QCheckBox* finalizeBox() const { return finalize_; }
    QCheckBox* ejectBox() const { return eject_; }
    QCheckBox* testModeBox() const { return testMode_; }

  private:
    Settings& settings_;
    QLineEdit* label_;
    QCheckBox* finalize_;
    QCheckBox* eject_;
    QCheckBox* testMode_;
};

}  // namespace quelt
