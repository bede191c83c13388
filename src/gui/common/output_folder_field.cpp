#include "gui/common/output_folder_field.h"

#include <QDir>

#include "core/naming/paths.h"
#include "core/settings/app_paths.h"

namespace quelt {

std::string StoredOutputFolder(const QString& field) {
    if (field.trimmed().isEmpty()) return DefaultOutputFolder();
    QString folder = field;
    if (folder == QStringLiteral("~") || folder.startsWith(QStringLiteral("~/")))
        folder = QDir::homePath() + folder.mid(1);
    return WithTrailingBackslash(folder.toStdString());
}

}  // namespace quelt
