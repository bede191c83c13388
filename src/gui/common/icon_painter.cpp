#include "gui/common/icon_painter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "core/settings/settings.h"

namespace quelt {

namespace {

struct TileColours {
    QColor top, bottom;
};

TileColours ColoursOf(int mode) {
    switch (mode) {
        case kModeConvert:
            return {QColor(0x2b, 0xc0, 0xa0), QColor(0x10, 0x6e, 0x8c)};
        case kModeBurn:
            return {QColor(0xff, 0x8a, 0x3d), QColor(0xc8, 0x2e, 0x4a)};
        default:
            return {QColor(0x5b, 0x8c, 0xff), QColor(0x3a, 0x2a, 0xb8)};
    }
}

void PaintTile(QPainter& p, double s, const TileColours& c) {
    QRectF tile(s * 0.04, s * 0.04, s * 0.92, s * 0.92);
    QLinearGradient g(tile.topLeft(), tile.bottomRight());
    g.setColorAt(0, c.top);
    g.setColorAt(1, c.bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(tile, s * 0.22, s * 0.22);
    // A soft highlight on the upper half gives the tile depth without noise.
    QPainterPath top;
    top.addRoundedRect(tile, s * 0.22, s * 0.22);
    QPainterPath half;
    half.addRect(QRectF(0, 0, s, s * 0.5));
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawPath(top.intersected(half));
}

void PaintDisc(QPainter& p, QPointF centre, double radius) {
    QRadialGradient shine(centre, radius);
    shine.setColorAt(0.0, QColor(0xf4, 0xf7, 0xff));
    shine.setColorAt(0.75, QColor(0xdc, 0xe4, 0xf5));
    shine.setColorAt(1.0, QColor(0xb9, 0xc6, 0xe2));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(centre, radius, radius);
    // Two coloured sheen arcs, the look of light on a disc's data side.
    QPen arc(QColor(0x7f, 0xd3, 0xff, 170), radius * 0.16, Qt::SolidLine, Qt::RoundCap);
    p.setPen(arc);
    p.setBrush(Qt::NoBrush);
    QRectF ring(centre.x() - radius * 0.68, centre.y() - radius * 0.68, radius * 1.36,
                radius * 1.36);
    p.drawArc(ring, 100 * 16, 60 * 16);
    arc.setColor(QColor(0xff, 0x9a, 0xd5, 150));
    p.setPen(arc);
    p.drawArc(ring, 280 * 16, 60 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9a, 0xa8, 0xc8));
    p.drawEllipse(centre, radius * 0.30, radius * 0.30);
    p.setBrush(QColor(0x1d, 0x22, 0x3a));
    p.drawEllipse(centre, radius * 0.13, radius * 0.13);
}

void PaintArrowDown(QPainter& p, double s) {
    QPainterPath a;
    a.moveTo(s * 0.66, s * 0.58);
    a.lineTo(s * 0.90, s * 0.58);
    a.lineTo(s * 0.78, s * 0.80);
    a.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(s * 0.745, s * 0.40, s * 0.07, s * 0.20), s * 0.02, s * 0.02);
    p.drawPath(a);
}

void PaintConvertArrows(QPainter& p, double s) {
    QPen pen(Qt::white, s * 0.075, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(s * 0.24, s * 0.38), QPointF(s * 0.72, s * 0.38));
    p.drawPolyline(QPolygonF(
        {QPointF(s * 0.60, s * 0.26), QPointF(s * 0.74, s * 0.38), QPointF(s * 0.60, s * 0.50)}));
    p.drawLine(QPointF(s * 0.76, s * 0.64), QPointF(s * 0.28, s * 0.64));
    p.drawPolyline(QPolygonF(
        {QPointF(s * 0.40, s * 0.52), QPointF(s * 0.26, s * 0.64), QPointF(s * 0.40, s * 0.76)}));
}

void PaintFlame(QPainter& p, double s) {
    QPainterPath f;
    f.moveTo(s * 0.78, s * 0.46);
    f.cubicTo(s * 0.92, s * 0.60, s * 0.90, s * 0.84, s * 0.76, s * 0.86);
    f.cubicTo(s * 0.62, s * 0.86, s * 0.60, s * 0.70, s * 0.68, s * 0.62);
    f.cubicTo(s * 0.70, s * 0.70, s * 0.74, s * 0.70, s * 0.74, s * 0.66);
    f.cubicTo(s * 0.72, s * 0.58, s * 0.74, s * 0.52, s * 0.78, s * 0.46);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xe0, 0x8a));
    p.drawPath(f);
}

QImage NewCanvas(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace

QImage PaintAppIcon(int size) {
    QImage image = NewCanvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    PaintTile(p, s, ColoursOf(kModeRip));
    PaintDisc(p, QPointF(s * 0.46, s * 0.5), s * 0.33);
    PaintArrowDown(p, s);
    return image;
}

QImage PaintModeIcon(int mode, int size) {
    QImage image = NewCanvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    PaintTile(p, s, ColoursOf(mode));
    if (mode == kModeConvert) {
        PaintConvertArrows(p, s);
    } else {
        PaintDisc(p, QPointF(s * 0.46, s * 0.5), s * 0.33);
        if (mode == kModeBurn)
            PaintFlame(p, s);
        else
            PaintArrowDown(p, s);
    }
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(PaintAppIcon(size)));
    return icon;
}

QIcon ModeIcon(int mode) {
    QIcon icon;
    for (int size : {16, 32, 64}) icon.addPixmap(QPixmap::fromImage(PaintModeIcon(mode, size)));
    return icon;
}

}  // namespace quelt
