#include "gui/common/desktop_opener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace quelt {

bool OpenWithDesktop(const QString& path) {
    return QFileInfo::exists(path) && QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace quelt
