// quelt-paint-icons FOLDER: writes the program's icon as FOLDER/hicolor/NxN/apps/<app id>.png
// for the sizes the desktop looks for, from the same drawing as the window icon (and as the
// scalable icon, which is drawn in SVG by hand).
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "gui/common/icon_painter.h"
#include "quelt_version.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quelt-paint-icons FOLDER\n");
        return 2;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QString("%1/hicolor/%2x%2/apps").arg(argv[1]).arg(size);
        QDir().mkpath(folder);
        if (!quelt::PaintAppIcon(size).save(folder + "/" QUELT_APP_ID ".png")) {
            std::fprintf(stderr, "quelt-paint-icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
