#include "gui/burn/burn_file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "core/settings/app_paths.h"

namespace quelt {

QString ChooseImageFile(QWidget* owner, bool dataCd) {
    // Images of one session usually go to one place: the dialog comes back to it.
    static QString lastFolder;
    const QString folder =
        lastFolder.isEmpty() ? QString::fromStdString(DialogStartFolder()) : lastFolder;
    const QString name = dataCd ? QStringLiteral("Data CD.iso") : QStringLiteral("Audio CD.cue");
    const QString filter =
        dataCd ? QStringLiteral("ISO image (*.iso)") : QStringLiteral("CUE/BIN image (*.cue)");
    QFileDialog dialog(owner, QStringLiteral("Save the disc image as"), QDir(folder).filePath(name),
                       filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(dataCd ? QStringLiteral("iso") : QStringLiteral("cue"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    lastFolder = QFileInfo(dialog.selectedFiles().front()).absolutePath();
    return dialog.selectedFiles().front();
}

}  // namespace quelt
