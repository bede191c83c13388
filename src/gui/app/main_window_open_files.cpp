// MainWindow::OpenFiles and BringToFront: files that reach the running window from a
// command line rather than a drop.
#include <QApplication>
#include <QWidget>

#include "core/rip/disc_image.h"
#include "core/settings/settings.h"
#include "gui/app/main_window.h"
#include "gui/common/app_context.h"
#include "gui/common/mode_page.h"

namespace quelt {

void MainWindow::BringToFront() {
    QWidget* front = QApplication::activeModalWidget();
    if (!front) front = this;
    if (front->isMinimized()) front->showNormal();
    front->show();
    front->raise();
    front->activateWindow();
}

void MainWindow::OpenFiles(const QStringList& paths) {
    BringToFront();
    // A modal dialog means a job reads the lists or the user is in the options: the files
    // would change what they are working on.
    if (QApplication::activeModalWidget() || paths.isEmpty()) return;

    QStringList images, audio;
    for (const QString& path : paths)
        (LooksLikeDiscImage(path.toStdString()) ? images : audio) << path;
    if (!audio.isEmpty()) {
        if (context_.mode != kModeBurn) SwitchMode(kModeConvert);
        DropFiles(audio);
    }
    if (!images.isEmpty()) {
        SwitchMode(kModeRip);
        for (const QString& image : images) page(kModeRip)->OpenDiscImage(image);
    }
}

}  // namespace quelt
