// The program's own icons, painted with QPainter at any size so that the window icon, the
// progress window's mode icons and the installed hicolor PNGs all come from one drawing.
#pragma once

#include <QIcon>
#include <QImage>

namespace quelt {

// The application icon: a disc on a rounded tile. `size` in pixels.
QImage PaintAppIcon(int size);
// The progress window's icon for a mode (100 rip, 200 convert, 300 burn): the tile in the
// mode's colour with its glyph.
QImage PaintModeIcon(int mode, int size);

QIcon AppIcon();
QIcon ModeIcon(int mode);

}  // namespace quelt
