// The 16x16 row images of the log and file lists, cut from the skin's "CDRip_Lst16.bmp"
// strip with the mask colour red 0, green 128, blue 128 made transparent.
#pragma once

#include <QIcon>

namespace quelt {

// Image `index` of the strip; a null icon when the bitmap is missing or too small, so the
// rows simply show no image.
QIcon ListRowIcon(int index);

}  // namespace quelt
