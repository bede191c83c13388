// Vector glyphs of the zqr skin. Each is drawn in a square box with round caps, so it stays
// crisp at every scale the generator paints.
#include <QPainterPath>
#include <QtMath>
#include <functional>
#include <initializer_list>
#include <map>

#include "gui/skin/tools/skin_art.h"

namespace quelt::art {

namespace {

using Glyph = std::function<void(QPainter&, const QRectF&, const QColor&, qreal)>;

QPen Stroke(const QColor& c, qreal w) {
    return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPointF At(const QRectF& b, qreal x, qreal y) {
    return {b.left() + x * b.width(), b.top() + y * b.height()};
}

void Triangle(QPainter& p, const QRectF& b, const QColor& c, qreal x0, qreal y0, qreal x1, qreal y1,
              qreal x2, qreal y2) {
    QPainterPath path;
    path.moveTo(At(b, x0, y0));
    path.lineTo(At(b, x1, y1));
    path.lineTo(At(b, x2, y2));
    path.closeSubpath();
    p.setPen(Stroke(c, b.width() * 0.06));
    p.setBrush(c);
    p.drawPath(path);
}

void Arrow(QPainter& p, const QRectF& b, const QColor& c, qreal w, bool up) {
    p.setPen(Stroke(c, w));
    p.setBrush(Qt::NoBrush);
    const qreal y0 = up ? 0.2 : 0.8, y1 = up ? 0.8 : 0.2, head = up ? 0.45 : 0.55;
    p.drawLine(At(b, 0.5, y0), At(b, 0.5, y1));
    p.drawLine(At(b, 0.5, y0), At(b, 0.22, head));
    p.drawLine(At(b, 0.5, y0), At(b, 0.78, head));
}

void Disc(QPainter& p, const QRectF& b, const QColor& c, qreal w) {
    p.setPen(Stroke(c, w));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(b.adjusted(w / 2 + b.width() * 0.04, w / 2 + b.width() * 0.04,
                             -w / 2 - b.width() * 0.04, -w / 2 - b.width() * 0.04));
    const qreal hole = b.width() * 0.13;
    p.drawEllipse(b.center(), hole, hole);
    QRectF inner =
        b.adjusted(b.width() * 0.24, b.height() * 0.24, -b.width() * 0.24, -b.height() * 0.24);
    p.drawArc(inner, 100 * 16, 60 * 16);
}

void Plus(QPainter& p, QPointF centre, qreal r, const QColor& c, qreal w) {
    p.setPen(Stroke(c, w));
    p.drawLine(centre - QPointF(r, 0), centre + QPointF(r, 0));
    p.drawLine(centre - QPointF(0, r), centre + QPointF(0, r));
}

// The closed outline through `points` (fractions of the box), stroked and not filled.
void Outline(QPainter& p, const QRectF& b, const QColor& c, qreal w,
             std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (const QPointF& f : points) {
        if (first)
            path.moveTo(At(b, f.x(), f.y()));
        else
            path.lineTo(At(b, f.x(), f.y()));
        first = false;
    }
    path.closeSubpath();
    p.setPen(Stroke(c, w));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

// A sheet with its top right corner folded.
void FileOutline(QPainter& p, const QRectF& b, const QColor& c, qreal w) {
    Outline(p, b, c, w, {{0.22, 0.1}, {0.56, 0.1}, {0.78, 0.32}, {0.78, 0.9}, {0.22, 0.9}});
}

// A folder with its tab on the left.
void FolderOutline(QPainter& p, const QRectF& b, const QColor& c, qreal w) {
    Outline(p, b, c, w,
            {{0.1, 0.22}, {0.38, 0.22}, {0.48, 0.32}, {0.9, 0.32}, {0.9, 0.82}, {0.1, 0.82}});
}

const std::map<QString, Glyph>& Glyphs() {
    static const std::map<QString, Glyph> glyphs = {
        {"disc", [](QPainter& p, const QRectF& b, const QColor& c, qreal w) { Disc(p, b, c, w); }},
        {"chevron",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.drawPolyline(QPolygonF({At(b, 0.25, 0.38), At(b, 0.5, 0.63), At(b, 0.75, 0.38)}));
         }},
        {"minimize",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.drawLine(At(b, 0.22, 0.55), At(b, 0.78, 0.55));
         }},
        {"close",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.drawLine(At(b, 0.25, 0.25), At(b, 0.75, 0.75));
             p.drawLine(At(b, 0.75, 0.25), At(b, 0.25, 0.75));
         }},
        {"gear",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.save();
             p.translate(b.center());
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             const qreal s = b.width();
             for (int i = 0; i < 8; ++i) {
                 p.drawRoundedRect(QRectF(-s * 0.08, -s * 0.47, s * 0.16, s * 0.2), s * 0.03,
                                   s * 0.03);
                 p.rotate(45);
             }
             p.setPen(Stroke(c, w * 1.1));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(0, 0), s * 0.27, s * 0.27);
             p.drawEllipse(QPointF(0, 0), s * 0.09, s * 0.09);
             p.restore();
         }},
        {"help",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(b.adjusted(w, w, -w, -w));
             QPainterPath q;
             q.moveTo(At(b, 0.37, 0.4));
             q.cubicTo(At(b, 0.37, 0.22), At(b, 0.63, 0.22), At(b, 0.63, 0.4));
             q.cubicTo(At(b, 0.63, 0.5), At(b, 0.5, 0.5), At(b, 0.5, 0.6));
             p.drawPath(q);
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             p.drawEllipse(At(b, 0.5, 0.74), w * 0.75, w * 0.75);
         }},
        {"info",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(b.adjusted(w, w, -w, -w));
             p.drawLine(At(b, 0.5, 0.47), At(b, 0.5, 0.72));
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             p.drawEllipse(At(b, 0.5, 0.31), w * 0.75, w * 0.75);
         }},
        {"rip", [](QPainter& p, const QRectF& b, const QColor& c, qreal w) { Disc(p, b, c, w); }},
        {"convert",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             QRectF ring = b.adjusted(b.width() * 0.16, b.height() * 0.16, -b.width() * 0.16,
                                      -b.height() * 0.16);
             p.drawArc(ring, 20 * 16, 140 * 16);
             p.drawArc(ring, 200 * 16, 140 * 16);
             // arrow heads at the arcs' ends
             auto head = [&](qreal angleDeg, qreal dir) {
                 const qreal a = qDegreesToRadians(angleDeg);
                 QPointF tip(ring.center().x() + ring.width() / 2 * std::cos(a),
                             ring.center().y() - ring.height() / 2 * std::sin(a));
                 const qreal s = b.width() * 0.16;
                 QPointF tangent(-std::sin(a) * dir, -std::cos(a) * dir);
                 QPointF normal(std::cos(a), -std::sin(a));
                 p.drawLine(tip, tip - tangent * s + normal * s * 0.8);
                 p.drawLine(tip, tip - tangent * s - normal * s * 0.8);
             };
             head(160, 1);
             head(340, 1);
         }},
        {"burn",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             QPainterPath f;
             f.moveTo(At(b, 0.5, 0.1));
             f.cubicTo(At(b, 0.62, 0.3), At(b, 0.82, 0.42), At(b, 0.8, 0.62));
             f.cubicTo(At(b, 0.78, 0.82), At(b, 0.63, 0.92), At(b, 0.5, 0.92));
             f.cubicTo(At(b, 0.37, 0.92), At(b, 0.2, 0.82), At(b, 0.2, 0.62));
             f.cubicTo(At(b, 0.2, 0.47), At(b, 0.3, 0.4), At(b, 0.36, 0.34));
             f.cubicTo(At(b, 0.38, 0.45), At(b, 0.42, 0.5), At(b, 0.46, 0.52));
             f.cubicTo(At(b, 0.42, 0.36), At(b, 0.45, 0.22), At(b, 0.5, 0.1));
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             p.drawPath(f);
         }},
        {"prev",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             Triangle(p, b, c, 0.72, 0.25, 0.72, 0.75, 0.36, 0.5);
             p.setPen(Stroke(c, w));
             p.drawLine(At(b, 0.3, 0.27), At(b, 0.3, 0.73));
         }},
        {"next",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             Triangle(p, b, c, 0.28, 0.25, 0.28, 0.75, 0.64, 0.5);
             p.setPen(Stroke(c, w));
             p.drawLine(At(b, 0.7, 0.27), At(b, 0.7, 0.73));
         }},
        {"play", [](QPainter& p, const QRectF& b, const QColor& c,
                    qreal) { Triangle(p, b, c, 0.34, 0.22, 0.34, 0.78, 0.8, 0.5); }},
        {"stop",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal) {
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             p.drawRoundedRect(QRectF(At(b, 0.27, 0.27), At(b, 0.73, 0.73)), b.width() * 0.06,
                               b.width() * 0.06);
         }},
        {"speaker",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             QPainterPath s;
             s.moveTo(At(b, 0.12, 0.38));
             s.lineTo(At(b, 0.3, 0.38));
             s.lineTo(At(b, 0.5, 0.2));
             s.lineTo(At(b, 0.5, 0.8));
             s.lineTo(At(b, 0.3, 0.62));
             s.lineTo(At(b, 0.12, 0.62));
             s.closeSubpath();
             p.setPen(Stroke(c, w * 0.8));
             p.setBrush(c);
             p.drawPath(s);
             p.setBrush(Qt::NoBrush);
             p.drawArc(QRectF(At(b, 0.46, 0.32), At(b, 0.74, 0.68)), -55 * 16, 110 * 16);
             p.drawArc(QRectF(At(b, 0.42, 0.16), At(b, 0.9, 0.84)), -55 * 16, 110 * 16);
         }},
        {"start", [](QPainter& p, const QRectF& b, const QColor& c,
                     qreal w) { Triangle(p, b, c, 0.3, 0.2, 0.3, 0.8, 0.82, 0.5); }},
        {"addfile",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             FileOutline(p, b, c, w);
             Plus(p, At(b, 0.5, 0.58), b.width() * 0.14, c, w);
         }},
        {"addfolder",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             FolderOutline(p, b, c, w);
             Plus(p, At(b, 0.5, 0.57), b.width() * 0.13, c, w);
         }},
        {"remove",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(b.adjusted(b.width() * 0.12, b.height() * 0.12, -b.width() * 0.12,
                                      -b.height() * 0.12));
             p.drawLine(At(b, 0.33, 0.5), At(b, 0.67, 0.5));
         }},
        {"clear",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             p.drawLine(At(b, 0.16, 0.26), At(b, 0.84, 0.26));
             p.drawPolyline(QPolygonF(
                 {At(b, 0.4, 0.26), At(b, 0.42, 0.14), At(b, 0.58, 0.14), At(b, 0.6, 0.26)}));
             QPainterPath can;
             can.moveTo(At(b, 0.25, 0.34));
             can.lineTo(At(b, 0.3, 0.88));
             can.lineTo(At(b, 0.7, 0.88));
             can.lineTo(At(b, 0.75, 0.34));
             p.drawPath(can);
             p.drawLine(At(b, 0.44, 0.44), At(b, 0.45, 0.76));
             p.drawLine(At(b, 0.56, 0.44), At(b, 0.55, 0.76));
         }},
        {"eject",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             Triangle(p, b, c, 0.2, 0.56, 0.8, 0.56, 0.5, 0.2);
             p.setPen(Stroke(c, w));
             p.drawLine(At(b, 0.22, 0.76), At(b, 0.78, 0.76));
         }},
        {"tray",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             p.drawPolyline(QPolygonF(
                 {At(b, 0.14, 0.6), At(b, 0.14, 0.84), At(b, 0.86, 0.84), At(b, 0.86, 0.6)}));
             p.drawLine(At(b, 0.5, 0.14), At(b, 0.5, 0.62));
             p.drawPolyline(QPolygonF({At(b, 0.3, 0.44), At(b, 0.5, 0.64), At(b, 0.7, 0.44)}));
         }},
        {"up",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) { Arrow(p, b, c, w, true); }},
        {"down",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) { Arrow(p, b, c, w, false); }},
        {"erase",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.save();
             p.translate(b.center());
             p.rotate(-40);
             const qreal s = b.width();
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             p.drawRoundedRect(QRectF(-s * 0.36, -s * 0.17, s * 0.72, s * 0.34), s * 0.06,
                               s * 0.06);
             p.drawLine(QPointF(-s * 0.06, -s * 0.17), QPointF(-s * 0.06, s * 0.17));
             p.restore();
             p.setPen(Stroke(c, w));
             p.drawLine(At(b, 0.45, 0.88), At(b, 0.88, 0.88));
         }},
        {"globe",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.setBrush(Qt::NoBrush);
             QRectF r = b.adjusted(w, w, -w, -w);
             p.drawEllipse(r);
             p.drawEllipse(r.adjusted(r.width() * 0.28, 0, -r.width() * 0.28, 0));
             p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
         }},
        {"note",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w));
             p.drawLine(At(b, 0.62, 0.72), At(b, 0.62, 0.14));
             p.drawLine(At(b, 0.62, 0.14), At(b, 0.84, 0.26));
             p.setPen(Qt::NoPen);
             p.setBrush(c);
             p.drawEllipse(At(b, 0.46, 0.74), b.width() * 0.18, b.width() * 0.14);
         }},
        {"file", FileOutline},
        {"ok",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w * 1.2));
             p.drawPolyline(QPolygonF({At(b, 0.22, 0.52), At(b, 0.42, 0.72), At(b, 0.78, 0.3)}));
         }},
        {"fail",
         [](QPainter& p, const QRectF& b, const QColor& c, qreal w) {
             p.setPen(Stroke(c, w * 1.2));
             p.drawLine(At(b, 0.28, 0.28), At(b, 0.72, 0.72));
             p.drawLine(At(b, 0.72, 0.28), At(b, 0.28, 0.72));
         }},
        {"folder", FolderOutline},
    };
    return glyphs;
}

}  // namespace

bool PaintIcon(QPainter& p, const QString& name, const QRectF& box, const QColor& color) {
    const auto& glyphs = Glyphs();
    auto it = glyphs.find(name);
    if (it == glyphs.end()) return false;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(box.width(), box.height());
    const QRectF square(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
    it->second(p, square, color, std::max<qreal>(1.2, side * 0.1));
    p.restore();
    return true;
}

QStringList IconNames() {
    QStringList names;
    for (const auto& [name, glyph] : Glyphs()) names << name;
    return names;
}

}  // namespace quelt::art
