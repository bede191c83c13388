#include "gui/skin/tools/skin_art.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include "gui/skin/skin_text.h"

namespace quelt::art {

const Theme& ZqrTheme() {
    static const Theme theme;
    return theme;
}

QColor ParseColor(const std::string& text, QColor fallback) {
    const QString t = QString::fromStdString(text).trimmed();
    if (t.startsWith('#')) {
        QColor c(t);
        return c.isValid() ? c : fallback;
    }
    if (t.isEmpty()) return fallback;
    const auto v = SkinColor(skin_text::ParseInt(text));
    return QColor(SkinRed(v), SkinGreen(v), SkinBlue(v));
}

namespace {

const Theme& T() { return ZqrTheme(); }

QRectF ToRectF(const SkinRect& r) { return QRectF(r.left, r.top, r.width(), r.height()); }

QColor WithAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

// A 1 px outline sits on pixel centres so that it is sharp at 1x.
QRectF Hairline(const QRectF& r) { return r.adjusted(0.5, 0.5, -0.5, -0.5); }

void RoundedBox(QPainter& p, const QRectF& r, qreal radius, const QBrush& fill,
                const QColor& border) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(border.isValid() ? QPen(border, 1) : Qt::NoPen);
    p.setBrush(fill);
    p.drawRoundedRect(border.isValid() ? Hairline(r) : r, radius, radius);
    p.restore();
}

SkinRect RectOf(const std::string& text) { return ParseSkinRect(text); }

QString IconOf(const SkinControl& c) { return QString::fromStdString(c.Raw("Icon")); }

bool HasCaption(const SkinControl& c) { return !c.Raw("Caption").empty(); }

// The box of a control's glyph: at the left before a caption, else centred.
QRectF IconBox(const SkinControl& c, const QRectF& r, qreal size) {
    const qreal s = c.RawInt("IconSize", int(size));
    if (HasCaption(c))
        return QRectF(r.left() + c.RawInt("IconLeft", 9), r.center().y() - s / 2, s, s);
    return QRectF(r.center().x() - s / 2, r.center().y() - s / 2, s, s);
}

QColor IconColor(SkinState state, QColor normal, QColor active) {
    switch (state) {
        case kSkinDisabled:
            return T().dim;
        case kSkinHover:
        case kSkinPressed:
            return active;
        default:
            return normal;
    }
}

void PaintButtonLike(QPainter& p, const SkinControl& c, SkinState state, bool checked) {
    const QString art = QString::fromStdString(c.Raw("Art", "secondary"));
    const QRectF r = ToRectF(c.rect);
    const QString icon = IconOf(c);
    const qreal radius = c.RawInt("Radius", 7);

    if (art == "primary") {
        QColor top = T().accentHover, bottom = T().accent;
        if (state == kSkinHover) top = top.lighter(112), bottom = T().accentHover;
        if (state == kSkinPressed) top = T().accentPressed, bottom = T().accentPressed.darker(108);
        if (state == kSkinDisabled) top = bottom = T().secondary;
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        RoundedBox(
            p, r, radius, g,
            state == kSkinDisabled ? T().secondaryBorder : WithAlpha(T().accentPressed, 255));
        if (state != kSkinDisabled && state != kSkinPressed) {
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.setPen(QPen(WithAlpha(Qt::white, 60), 1));
            p.drawLine(QPointF(r.left() + radius, r.top() + 1.5),
                       QPointF(r.right() - radius, r.top() + 1.5));
            p.restore();
        }
        PaintIcon(p, icon, IconBox(c, r, 16), state == kSkinDisabled ? T().dim : Qt::white);
        return;
    }
    if (art == "secondary") {
        QColor fill = T().secondary, border = T().secondaryBorder;
        if (state == kSkinHover) fill = fill.lighter(118), border = T().fieldHover;
        if (state == kSkinPressed) fill = fill.darker(125), border = T().secondaryBorder;
        if (state == kSkinDisabled)
            fill = WithAlpha(T().secondary, 120), border = WithAlpha(T().secondaryBorder, 120);
        RoundedBox(p, r, radius, fill, border);
        PaintIcon(p, icon, IconBox(c, r, 14), IconColor(state, T().text, T().text));
        return;
    }
    if (art == "ghost" || art == "window" || art == "transport") {
        const bool round = art == "transport";
        const bool danger = c.Raw("Tone") == "danger";
        QColor fill;
        if (state == kSkinHover) fill = danger ? T().danger : WithAlpha(Qt::white, 20);
        if (state == kSkinPressed)
            fill = danger ? T().danger.darker(120) : WithAlpha(Qt::white, 34);
        if (fill.isValid()) {
            if (round) {
                p.save();
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(Qt::NoPen);
                p.setBrush(fill);
                const qreal d = std::min(r.width(), r.height());
                p.drawEllipse(QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d));
                p.restore();
            } else {
                RoundedBox(p, r, radius, fill, QColor());
            }
        }
        const QColor normal = art == "window" || art == "ghost" ? T().muted : T().text;
        const QColor active = danger ? QColor(Qt::white) : T().text;
        const qreal size = art == "window" ? 10 : (art == "transport" ? 16 : 16);
        PaintIcon(p, icon, IconBox(c, r, size), IconColor(state, normal, active));
        return;
    }
    if (art == "play") {
        QColor fill = T().accent;
        if (state == kSkinHover) fill = T().accentHover;
        if (state == kSkinPressed) fill = T().accentPressed;
        if (state == kSkinDisabled) fill = T().secondary;
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        const qreal d = std::min(r.width(), r.height());
        const QRectF circle(r.center().x() - d / 2, r.center().y() - d / 2, d, d);
        if (state != kSkinDisabled) {
            QRadialGradient glow(circle.center(), d * 0.62);
            glow.setColorAt(0.75, WithAlpha(fill, 70));
            glow.setColorAt(1.0, WithAlpha(fill, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(circle.center(), d * 0.62, d * 0.62);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawEllipse(circle.adjusted(d * 0.06, d * 0.06, -d * 0.06, -d * 0.06));
        p.restore();
        PaintIcon(p, icon.isEmpty() ? "play" : icon,
                  QRectF(circle.center().x() - d * 0.22 + d * 0.03, circle.center().y() - d * 0.22,
                         d * 0.44, d * 0.44),
                  state == kSkinDisabled ? T().dim : Qt::white);
        return;
    }
    if (art == "segment") {
        const QRectF pill = r.adjusted(2, 2, -2, -2);
        if (checked) {
            QColor fill = T().accent;
            if (state == kSkinHover) fill = T().accentHover;
            if (state == kSkinPressed) fill = T().accentPressed;
            if (state == kSkinDisabled) fill = T().secondary;
            QLinearGradient g(pill.topLeft(), pill.bottomLeft());
            g.setColorAt(0, fill.lighter(108));
            g.setColorAt(1, fill);
            RoundedBox(p, pill, radius - 2, g, QColor());
        } else if (state == kSkinHover || state == kSkinPressed) {
            RoundedBox(p, pill, radius - 2, WithAlpha(Qt::white, state == kSkinHover ? 16 : 28),
                       QColor());
        }
        const QColor iconColor = state == kSkinDisabled ? T().dim
                                 : checked              ? QColor(Qt::white)
                                 : state == kSkinNormal ? T().muted
                                                        : T().text;
        PaintIcon(p, icon, IconBox(c, r, 15), iconColor);
        return;
    }
    if (art == "check") {
        const qreal s = 14;
        const QRectF box(r.left() + 1, r.center().y() - s / 2, s, s);
        if (checked) {
            QColor fill = state == kSkinHover     ? T().accentHover
                          : state == kSkinPressed ? T().accentPressed
                                                  : T().accent;
            if (state == kSkinDisabled) fill = T().secondary;
            RoundedBox(p, box, 3.5, fill, QColor());
            PaintIcon(p, "ok", box.adjusted(1, 1, -1, -1),
                      state == kSkinDisabled ? T().dim : Qt::white);
        } else {
            QColor border = state == kSkinHover      ? T().accentHover
                            : state == kSkinDisabled ? T().wellBorder
                                                     : T().fieldHover;
            QColor fill = state == kSkinPressed ? T().secondary : T().field;
            RoundedBox(p, box, 3.5, fill, border);
        }
        return;
    }
    if (art == "toggle") {
        const QRectF track(r.left() + 1, r.center().y() - 8, 30, 16);
        QColor fill = checked ? T().accent : T().secondaryBorder;
        if (state == kSkinHover) fill = checked ? T().accentHover : T().fieldHover;
        if (state == kSkinPressed) fill = checked ? T().accentPressed : T().secondary;
        if (state == kSkinDisabled) fill = T().secondary;
        RoundedBox(p, track, 8, fill, QColor());
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(state == kSkinDisabled ? T().dim : QColor(Qt::white));
        const qreal x = checked ? track.right() - 8 : track.left() + 8;
        p.drawEllipse(QPointF(x, track.center().y()), 6, 6);
        p.restore();
        return;
    }
}

void PaintField(QPainter& p, const SkinControl& c, SkinState state) {
    const QRectF r = ToRectF(c.rect);
    RoundedBox(p, r, 6, T().field, state == kSkinHover ? T().fieldHover : T().fieldBorder);
    if (c.type == SkinControlType::ComboBox) {
        const qreal w = std::clamp(c.combo.btnWidth, 0, c.rect.width());
        const QRectF button(r.right() - w, r.top(), w, r.height());
        PaintIcon(p, "chevron", QRectF(button.center().x() - 6, button.center().y() - 6, 12, 12),
                  T().muted);
    }
}

}  // namespace

void PaintWindowBase(QPainter& p, const SkinDocument& doc, const SkinWindow& window, QSize size) {
    const std::string art = "ART_" + window.section;
    const QRectF all(0, 0, size.width(), size.height());
    p.fillRect(all, ParseColor(doc.Text(art, "Background"), T().window));

    for (int n = 0;; ++n) {
        auto v = doc.Value(art, "Band" + std::to_string(n));
        if (!v) break;
        const QRectF r = ToRectF(RectOf(*v));
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, T().band.lighter(106));
        g.setColorAt(1, T().band);
        p.fillRect(r, g);
        p.fillRect(QRectF(r.left(), r.bottom() - 1, r.width(), 1), T().cardBorder);
    }
    for (int n = 0;; ++n) {
        auto v = doc.Value(art, "Card" + std::to_string(n));
        if (!v) break;
        RoundedBox(p, ToRectF(RectOf(*v)), 9, T().card, T().cardBorder);
    }
    for (int n = 0;; ++n) {
        auto v = doc.Value(art, "Well" + std::to_string(n));
        if (!v) break;
        RoundedBox(p, ToRectF(RectOf(*v)), 8, T().well, T().wellBorder);
    }
    for (int n = 0;; ++n) {
        auto v = doc.Value(art, "Divider" + std::to_string(n));
        if (!v) break;
        const QRectF r = ToRectF(RectOf(*v));
        p.fillRect(QRectF(r.left(), r.top(), std::max<qreal>(1, r.width()),
                          std::max<qreal>(1, r.height())),
                   T().cardBorder);
    }
    for (int n = 0;; ++n) {
        auto v = doc.Value(art, "Glyph" + std::to_string(n));
        if (!v) break;
        const QStringList parts = QString::fromStdString(*v).split(',');
        if (parts.size() < 5) continue;
        const QRectF r(parts[0].toInt(), parts[1].toInt(), parts[2].toInt() - parts[0].toInt(),
                       parts[3].toInt() - parts[1].toInt());
        PaintIcon(p, parts[4].trimmed(), r, T().muted);
    }
    if (auto v = doc.Value(art, "Logo")) {
        const QRectF r = ToRectF(RectOf(*v));
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient g(r.topLeft(), r.bottomRight());
        g.setColorAt(0, QColor(0x6e, 0xa8, 0xff));
        g.setColorAt(0.55, T().accent);
        g.setColorAt(1, QColor(0x7c, 0x4d, 0xff));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawRoundedRect(r, r.width() * 0.26, r.width() * 0.26);
        // a disc in white on the tile
        const QRectF d =
            r.adjusted(r.width() * 0.2, r.height() * 0.2, -r.width() * 0.2, -r.height() * 0.2);
        QRadialGradient sheen(d.center(), d.width() / 2);
        sheen.setColorAt(0, WithAlpha(Qt::white, 255));
        sheen.setColorAt(1, WithAlpha(Qt::white, 225));
        p.setBrush(sheen);
        p.drawEllipse(d);
        p.setBrush(T().accent);
        p.drawEllipse(d.center(), d.width() * 0.17, d.width() * 0.17);
        p.setBrush(Qt::white);
        p.drawEllipse(d.center(), d.width() * 0.07, d.width() * 0.07);
        p.setPen(QPen(WithAlpha(T().accent, 90), std::max<qreal>(1, d.width() * 0.05)));
        p.setBrush(Qt::NoBrush);
        p.drawArc(
            d.adjusted(d.width() * 0.14, d.width() * 0.14, -d.width() * 0.14, -d.width() * 0.14),
            100 * 16, 70 * 16);
        p.restore();
    }
    if (doc.Int(art, "Border", 0)) {
        p.save();
        p.setPen(QPen(T().cardBorder.lighter(115), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(Hairline(all));
        p.restore();
    }
}

void PaintControl(QPainter& p, const SkinControl& c, SkinState state, bool checked) {
    if (c.Raw("Art") == "none" || c.rect.width() <= 0 || c.rect.height() <= 0) return;
    switch (c.type) {
        case SkinControlType::PushButton:
        case SkinControlType::Check:
        case SkinControlType::Radio:
            PaintButtonLike(p, c, state, checked);
            break;
        case SkinControlType::Edit:
        case SkinControlType::RichEdit:
        case SkinControlType::ComboBox:
        case SkinControlType::Spin:
        case SkinControlType::IpAddress:
        case SkinControlType::HotKey:
            PaintField(p, c, state);
            break;
        case SkinControlType::ListCtrl:
        case SkinControlType::TreeCtrl:
        case SkinControlType::TreeList:
        case SkinControlType::Thumbnail:
            RoundedBox(p, ToRectF(c.rect).adjusted(-2, -2, 2, 2), 7, T().well, T().wellBorder);
            break;
        case SkinControlType::Slider:
        case SkinControlType::SliderEx: {
            // The groove, as the toolkit's slider expects it: 4 px thick across the middle,
            // inset by half a thumb at both ends.
            const QRectF r = ToRectF(c.rect);
            const qreal thumb = c.RawInt("ThumbSize", 14);
            QRectF groove =
                c.slider.isVertical
                    ? QRectF(r.center().x() - 2, r.top() + thumb / 2, 4, r.height() - thumb)
                    : QRectF(r.left() + thumb / 2, r.center().y() - 2, r.width() - thumb, 4);
            RoundedBox(p, groove, 2, T().secondaryBorder, QColor());
            break;
        }
        case SkinControlType::Progress:
            RoundedBox(p, ToRectF(c.rect), std::min(c.rect.height(), c.rect.width()) / 2.0,
                       T().well, T().wellBorder);
            break;
        case SkinControlType::Static:
        case SkinControlType::ScrollBarEx:
        case SkinControlType::Unknown:
            break;
    }
}

void PaintThumb(QPainter& p, QSizeF size, SkinState state) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), size);
    const qreal inset = state == kSkinHover || state == kSkinPressed ? 0.5 : 1.5;
    QColor ring = state == kSkinDisabled ? T().secondaryBorder
                                         : (state == kSkinPressed ? T().accentPressed : T().accent);
    if (state == kSkinPressed) {
        p.setPen(Qt::NoPen);
        p.setBrush(WithAlpha(T().accent, 60));
        p.drawEllipse(r);
    }
    p.setPen(QPen(ring, 2));
    p.setBrush(state == kSkinDisabled ? T().muted : QColor(Qt::white));
    p.drawEllipse(r.adjusted(inset + 1, inset + 1, -inset - 1, -inset - 1));
    p.restore();
}

void PaintHeader(QPainter& p, QSizeF size, SkinState state) {
    const QRectF r(QPointF(0, 0), size);
    QColor top = QColor(0x20, 0x25, 0x2e), bottom = QColor(0x1a, 0x1e, 0x26);
    if (state == kSkinHover) top = top.lighter(115), bottom = bottom.lighter(115);
    if (state == kSkinPressed) top = bottom.darker(110);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
    p.fillRect(QRectF(0, size.height() - 1, size.width(), 1), T().cardBorder);
}

void PaintHeaderSeparator(QPainter& p, QSizeF size) {
    p.fillRect(QRectF(QPointF(0, 0), size), Qt::transparent);
    p.fillRect(QRectF(0, size.height() * 0.25, size.width(), size.height() * 0.5),
               T().cardBorder.lighter(120));
}

void PaintProgressBar(QPainter& p, QSizeF size) {
    const QRectF r(QPointF(0, 0), size);
    QLinearGradient g(r.topLeft(), r.topRight());
    g.setColorAt(0, QColor(0x6e, 0xa8, 0xff));
    g.setColorAt(1, T().accent);
    p.fillRect(r, g);
}

QImage PaintListStrip(int scale) {
    static const char* const names[] = {"note", "disc", "file", "info", "ok", "fail"};
    const int n = int(std::size(names));
    QImage image(16 * n * scale, 16 * scale, QImage::Format_RGB32);
    image.fill(QColor(0, 128, 128));
    QPainter p(&image);
    p.scale(scale, scale);
    // Glyphs are drawn on a solid badge: anti-aliased edges then blend into the badge, not
    // into the mask colour, so no teal fringe shows once the mask is cut out.
    const QColor badges[] = {T().accent,
                             QColor(0x5b, 0x6b, 0x85),
                             QColor(0x4a, 0x56, 0x6a),
                             QColor(0x3b, 0x82, 0xf6),
                             QColor(0x2f, 0xa8, 0x6a),
                             T().danger};
    for (int i = 0; i < n; ++i) {
        const QRectF cell(i * 16, 0, 16, 16);
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(Qt::NoPen);
        p.setBrush(badges[i]);
        // a rounded square made of whole pixels (no anti-aliasing against the mask colour)
        p.drawRect(cell.adjusted(2, 1, -2, -1));
        p.drawRect(cell.adjusted(1, 2, -1, -2));
        p.restore();
        PaintIcon(p, names[i], cell.adjusted(2.5, 2.5, -2.5, -2.5), Qt::white);
    }
    return image;
}

}  // namespace quelt::art
