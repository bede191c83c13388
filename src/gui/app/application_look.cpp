#include "gui/app/application_look.h"

#include <QApplication>

#include "gui/skin/skin.h"
#include "gui/skin/skin_windows.h"

namespace quelt {

void ApplySkinLook(const Skin& skin) {
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(skin.Palette(kMainWindowNumber, QApplication::palette()));
}

}  // namespace quelt
