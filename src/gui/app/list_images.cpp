#include "gui/app/list_images.h"

#include <QBitmap>
#include <QImage>
#include <QPixmap>

#include "core/settings/app_paths.h"

namespace quelt {

QIcon ListRowIcon(int index) {
    static const QImage strip(QString::fromStdString(DataFile("skins/zqr/CDRip_Lst16.bmp")));
    constexpr int kSide = 16;
    if (strip.isNull() || index < 0 || (index + 1) * kSide > strip.width() || strip.height() < kSide)
        return {};
    QPixmap image = QPixmap::fromImage(strip.copy(index * kSide, 0, kSide, kSide));
    image.setMask(image.createMaskFromColor(QColor(0, 128, 128), Qt::MaskInColor));
    return QIcon(image);
}

}  // namespace quelt
