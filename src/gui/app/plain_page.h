// A page drawn from its skin section with no behaviour of its own: it stands in for a mode
// whose page body is not part of this program yet, so the mode can still be switched to.
#pragma once

#include <QTreeWidget>

#include "gui/common/mode_page.h"
#include "gui/skin/skinned_window.h"

namespace quelt {

class PlainPage : public SkinnedWindow, public ModePage {
    Q_OBJECT
  public:
    PlainPage(Skin& skin, int windowNumber, QWidget* parent)
        : SkinnedWindow(skin, windowNumber, parent) {
        // Lists have no columns without a page body: no header text either (Qt would show "1").
        for (int id : controlIds())
            if (auto* list = control<QTreeWidget>(id)) list->setHeaderLabels({QString()});
    }
    QWidget* widget() override { return this; }
    bool created() const override { return isSkinned(); }
    int currentItem() const override { return -1; }
};

}  // namespace quelt
