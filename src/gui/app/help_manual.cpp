#include "gui/app/help_manual.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "core/settings/app_paths.h"

namespace quelt {

QString HelpManualPath() { return QString::fromStdString(DataFile("help/index.html")); }

bool OpenHelpManual() {
    const QString path = HelpManualPath();
    if (!QFileInfo::exists(path)) return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace quelt
