// The zqr skin's artwork, painted with QPainter from the rectangles of the skin
// description. Used only by the paint-skin program: the running application loads the
// images it wrote.
//
// What to paint comes from the description itself:
//  - every control section: its "Type", "Rect" and two keys the toolkit ignores,
//    "Art" (the look: primary, secondary, ghost, segment, window, transport, play,
//    toggle, check, field, list, slider, progress, none) and "Icon" (a glyph name);
//  - a section "ART_<window section>" with the window's size ("Size=w,h") and its
//    decorations, numbered from 0: "Band<n>", "Card<n>", "Well<n>", "Divider<n>"
//    (rectangles "l,t,r,b"), "Logo" and "Glyph<n>" ("l,t,r,b,icon name").
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "gui/skin/skin_document.h"

namespace quelt::art {

// The colours of the zqr skin.
struct Theme {
    QColor window{0x15, 0x18, 0x1e};
    QColor band{0x1b, 0x1f, 0x27};
    QColor card{0x1c, 0x21, 0x29};
    QColor cardBorder{0x2a, 0x30, 0x3b};
    QColor well{0x10, 0x13, 0x18};
    QColor wellBorder{0x27, 0x2d, 0x38};
    QColor field{0x12, 0x15, 0x1b};
    QColor fieldBorder{0x30, 0x37, 0x44};
    QColor fieldHover{0x45, 0x4e, 0x5e};
    QColor text{0xe7, 0xea, 0xf0};
    QColor muted{0x8e, 0x97, 0xa6};
    QColor dim{0x55, 0x5d, 0x6b};
    QColor accent{0x3b, 0x82, 0xf6};
    QColor accentHover{0x5b, 0x96, 0xf8};
    QColor accentPressed{0x2a, 0x6a, 0xd4};
    QColor danger{0xe5, 0x48, 0x4d};
    QColor secondary{0x26, 0x2c, 0x36};
    QColor secondaryBorder{0x34, 0x3c, 0x49};
};
const Theme& ZqrTheme();

// A colour "#rrggbb" or a skin colour integer; `fallback` when neither.
QColor ParseColor(const std::string& text, QColor fallback);

// Paints glyph `name` centred in `box` with `color` (stroke width scales with the box).
// Unknown names paint nothing. Returns false for an unknown name.
bool PaintIcon(QPainter& p, const QString& name, const QRectF& box, const QColor& color);
// Every glyph name PaintIcon knows.
QStringList IconNames();

// Paints the window's background and decorations (not the controls).
void PaintWindowBase(QPainter& p, const SkinDocument& doc, const SkinWindow& window, QSize size);

// Paints one control's art in `state`, checked or not.
void PaintControl(QPainter& p, const SkinControl& control, SkinState state, bool checked);

// A slider thumb of `size` logical pixels in `state`.
void PaintThumb(QPainter& p, QSizeF size, SkinState state);
// A list header section background in `state` (stretched by the toolkit), and its
// separator.
void PaintHeader(QPainter& p, QSizeF size, SkinState state);
void PaintHeaderSeparator(QPainter& p, QSizeF size);
// A progress bar's filled part.
void PaintProgressBar(QPainter& p, QSizeF size);

// The list images strip: 16 x 16 images on the mask colour red 0, green 128, blue 128:
// 0 track (note), 1 disc, 2 file, 3 information, 4 success, 5 failure.
QImage PaintListStrip(int scale);

}  // namespace quelt::art
