#include "gui/common/list_images.h"

#include <QList>
#include <QPixmap>

#include "core/settings/app_paths.h"
#include "gui/skin/skin.h"

namespace quelt {

QIcon ListRowIcon(int index) {
    static const QList<QPixmap> strip = LoadImageStrip(
        QString::fromStdString(DataFile("skins/zqr/CDRip_Lst16.bmp")), 16, QColor(0, 128, 128));
    if (index < 0 || index >= strip.size()) return {};
    return QIcon(strip[index]);
}

}  // namespace quelt
