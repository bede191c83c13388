// One page of the options sheet. A page fills itself from the settings when its tab is
// first opened in a showing of the sheet (Load) and writes back on "OK" (Store); the
// sheet calls Store only for pages that were opened, so an unopened tab changes nothing.
#pragma once

#include <QWidget>

namespace quelt {

class OptionsPage : public QWidget {
    Q_OBJECT
  public:
    using QWidget::QWidget;
    virtual void Load() = 0;
    virtual void Store() = 0;
};

}  // namespace quelt
