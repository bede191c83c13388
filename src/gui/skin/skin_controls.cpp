#include "gui/skin/skin_controls.h"

#include <QAbstractItemView>
#include <QBitmap>
#include <QButtonGroup>
#include <QCursor>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QStandardItemModel>
#include <QStyleOption>
#include <QStyleOptionHeader>
#include <QToolTip>
#include <algorithm>

#include "gui/skin/skin.h"

namespace quelt {

namespace {

// The first non-null image among state, then normal.
const QPixmap* PickImage(const SkinStateImages& images, SkinState state) {
    if (!images[state].isNull()) return &images[state];
    if (!images[kSkinNormal].isNull()) return &images[kSkinNormal];
    return nullptr;
}

Qt::Alignment AlignmentOf(const SkinTextStyle& style, Qt::Alignment horizontalDefault) {
    Qt::Alignment h = horizontalDefault;
    if (style.horAlignMode == "LEFT")
        h = Qt::AlignLeft;
    else if (style.horAlignMode == "RIGHT")
        h = Qt::AlignRight;
    else if (style.horAlignMode == "CENTER")
        h = Qt::AlignHCenter;
    Qt::Alignment v = Qt::AlignVCenter;
    if (style.verAlignMode == "TOP")
        v = Qt::AlignTop;
    else if (style.verAlignMode == "BOTTOM")
        v = Qt::AlignBottom;
    return h | v;
}

QFont StateFont(const SkinTextStyle& style, SkinState state, const QFont& base) {
    const auto& font = style.fonts[state] ? style.fonts[state] : style.fonts[kSkinNormal];
    return font ? ToQFont(*font, base) : base;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// SkinButton

SkinButton::SkinButton(SkinControlType kind, QWidget* parent)
    : QAbstractButton(parent), kind_(kind) {
    setCheckable(kind == SkinControlType::Check || kind == SkinControlType::Radio);
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
}

void SkinButton::setImages(const SkinStateImages& unchecked, const SkinStateImages& checked) {
    unchecked_ = unchecked;
    checked_ = checked;
    update();
}

void SkinButton::setMaskImage(const QPixmap& mask) {
    mask_ = mask;
    if (mask.isNull()) {
        clearMask();
    } else {
        // Magenta or transparent pixels of the mask image lie outside the button.
        QImage image = mask.toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.size() != size() && !size().isEmpty())
            image = image.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        QImage bits(image.size(), QImage::Format_Mono);
        bits.fill(0);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                QRgb p = image.pixel(x, y);
                bool outside = qAlpha(p) < 128 || (p & 0xFFFFFF) == 0xFF00FF;
                bits.setPixel(x, y, outside ? 0 : 1);
            }
        setMask(QBitmap::fromImage(bits));
    }
    update();
}

void SkinButton::setTextStyle(const SkinTextStyle& style) {
    style_ = style;
    update();
}

SkinState SkinButton::visualState() const {
    if (!isEnabled()) return kSkinDisabled;
    if (isDown()) return kSkinPressed;
    if (hovered_ || underMouse()) return kSkinHover;
    return kSkinNormal;
}

bool SkinButton::hasImage() const { return !unchecked_[kSkinNormal].isNull(); }

QSize SkinButton::sizeHint() const {
    if (!unchecked_[kSkinNormal].isNull())
        return unchecked_[kSkinNormal].size() / unchecked_[kSkinNormal].devicePixelRatio();
    return fontMetrics().size(Qt::TextShowMnemonic, text()) + QSize(16, 8);
}

void SkinButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const SkinState state = visualState();
    const bool useChecked = isChecked() && !checked_[kSkinNormal].isNull();
    if (const QPixmap* image = PickImage(useChecked ? checked_ : unchecked_, state))
        p.drawPixmap(rect(), *image);

    if (text().isEmpty()) return;
    p.setFont(StateFont(style_, state, font()));
    p.setPen(ToQColor(style_.colors[state]));
    const bool push = kind_ == SkinControlType::PushButton;
    const Qt::Alignment align = AlignmentOf(style_, push ? Qt::AlignHCenter : Qt::AlignLeft);
    // Centred captions keep clear of the edges; aligned ones start at their offset.
    const int inset = push && (align & Qt::AlignHCenter) ? 4 : 0;
    QRect area = rect().adjusted(inset, 0, -inset, 0);
    area.translate(style_.horAlig, style_.verAlig);
    if (align & Qt::AlignRight) area.adjust(0, 0, -2 * style_.horAlig, 0);
    int flags = int(align) | Qt::TextShowMnemonic;
    p.drawText(area, flags | (isMultilineText() ? Qt::TextWordWrap : 0), text());
    if (hasFocus() && keyboardFocus_) {
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlpha(160);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(ring, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    }
}

bool SkinButton::isMultilineText() const { return multiline_; }

void SkinButton::setMultiline(bool on) {
    multiline_ = on;
    update();
}

void SkinButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void SkinButton::nextCheckState() {
    // A click never unchecks a radio button; in a group the other buttons are unchecked
    // instead (the group calls this on the previously checked button, which must uncheck).
    if (kind_ == SkinControlType::Radio && isChecked() && !group()) return;
    QAbstractButton::nextCheckState();
}

void SkinButton::focusInEvent(QFocusEvent* event) {
    keyboardFocus_ = event->reason() == Qt::TabFocusReason ||
                     event->reason() == Qt::BacktabFocusReason ||
                     event->reason() == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

void SkinButton::keyPressEvent(QKeyEvent* event) {
    // Enter presses a focused button, as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled()) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SkinButton::focusOutEvent(QFocusEvent* event) {
    keyboardFocus_ = false;
    QAbstractButton::focusOutEvent(event);
}

bool SkinButton::hitButton(const QPoint& pos) const {
    if (!mask().isEmpty()) return mask().contains(pos);
    return rect().contains(pos);
}

// ---------------------------------------------------------------------------------------
// SkinLabel

SkinLabel::SkinLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void SkinLabel::setTextStyle(const SkinTextStyle& style) {
    style_ = style;
    setAlignment(AlignmentOf(style, Qt::AlignLeft));
    setIndent(-1);
    setContentsMargins(style.horAlig > 0 ? style.horAlig : 0, style.verAlig > 0 ? style.verAlig : 0,
                       style.horAlig < 0 ? -style.horAlig : 0,
                       style.verAlig < 0 ? -style.verAlig : 0);
    ApplyState();
}

bool SkinLabel::event(QEvent* event) {
    // The skin fixes the label's size; a text that does not fit shows whole on hover.
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        const QRect room = contentsRect();
        const int flags = int(alignment()) | (wordWrap() ? int(Qt::TextWordWrap) : 0);
        const QRect needed = fontMetrics().boundingRect(room, flags, text());
        if (needed.width() > room.width() || needed.height() > room.height())
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void SkinLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) ApplyState();
}

void SkinLabel::ApplyState() {
    const SkinState state = isEnabled() ? kSkinNormal : kSkinDisabled;
    if (const auto& f = style_.fonts[state] ? style_.fonts[state] : style_.fonts[kSkinNormal])
        setFont(ToQFont(*f, font()));
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ToQColor(style_.colors[state]));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, ToQColor(style_.colors[kSkinDisabled]));
    setPalette(pal);
}

// ---------------------------------------------------------------------------------------
// SkinSlider

namespace {
constexpr int kGrooveThickness = 4;
}

SkinSlider::SkinSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent) {
    setAttribute(Qt::WA_Hover);
    setMouseTracking(true);
    // Reached with Tab like every control; the arrow keys move it.
    setFocusPolicy(Qt::TabFocus);
}

void SkinSlider::setThumbImages(const SkinStateImages& thumb) {
    thumb_ = thumb;
    update();
}

void SkinSlider::setGrooveImage(const QPixmap& groove) {
    groove_ = groove;
    update();
}

QSize SkinSlider::ThumbSize() const {
    if (!thumb_[kSkinNormal].isNull())
        return thumb_[kSkinNormal].size() / thumb_[kSkinNormal].devicePixelRatio();
    const int d = std::max(6, std::min(orientation() == Qt::Horizontal ? height() : width(), 14));
    return {d, d};
}

QRect SkinSlider::ThumbRect() const {
    const QSize t = ThumbSize();
    const bool horizontal = orientation() == Qt::Horizontal;
    const int span = (horizontal ? width() - t.width() : height() - t.height());
    const int offset = QStyle::sliderPositionFromValue(
        minimum(), maximum(), sliderPosition(), std::max(0, span), horizontal ? false : true);
    if (horizontal) return QRect(offset, (height() - t.height()) / 2, t.width(), t.height());
    return QRect((width() - t.width()) / 2, offset, t.width(), t.height());
}

int SkinSlider::ValueAt(const QPoint& pos) const {
    const QSize t = ThumbSize();
    const bool horizontal = orientation() == Qt::Horizontal;
    const int span = std::max(1, horizontal ? width() - t.width() : height() - t.height());
    const int p = horizontal ? pos.x() - t.width() / 2 : pos.y() - t.height() / 2;
    return QStyle::sliderValueFromPosition(minimum(), maximum(), std::clamp(p, 0, span), span,
                                           !horizontal);
}

void SkinSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!groove_.isNull()) p.drawPixmap(rect(), groove_);
    const QRect thumb = ThumbRect();
    const bool horizontal = orientation() == Qt::Horizontal;
    // The filled part of the groove, from its start to the thumb's centre. The art draws
    // the groove itself: a line of kGrooveThickness px centred across the control, inset
    // by half a thumb at both ends.
    QColor fill =
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Highlight);
    if (!isEnabled()) fill.setAlpha(90);
    QRectF filled;
    if (horizontal) {
        const qreal y = (height() - kGrooveThickness) / 2.0;
        filled = QRectF(ThumbSize().width() / 2.0, y,
                        thumb.center().x() - ThumbSize().width() / 2.0, kGrooveThickness);
    } else {
        const qreal x = (width() - kGrooveThickness) / 2.0;
        filled = QRectF(x, thumb.center().y(), kGrooveThickness,
                        height() - ThumbSize().height() / 2.0 - thumb.center().y());
    }
    if (filled.width() > 0 && filled.height() > 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(filled, kGrooveThickness / 2.0, kGrooveThickness / 2.0);
    }
    const SkinState state = !isEnabled()                    ? kSkinDisabled
                            : (dragging_ || isSliderDown()) ? kSkinPressed
                            : hovered_                      ? kSkinHover
                                                            : kSkinNormal;
    if (const QPixmap* image = PickImage(thumb_, state)) {
        p.drawPixmap(thumb, *image);
        return;
    }
    QColor knob = palette().color(QPalette::Active, QPalette::BrightText);
    if (!isEnabled()) knob = palette().color(QPalette::Disabled, QPalette::WindowText);
    const qreal grow = state == kSkinPressed ? 0 : (state == kSkinHover ? 0.5 : 1.5);
    p.setPen(QPen(fill, 2));
    p.setBrush(knob);
    p.drawEllipse(QRectF(thumb).adjusted(1 + grow, 1 + grow, -1 - grow, -1 - grow));
}

void SkinSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || maximum() == minimum()) {
        event->ignore();
        return;
    }
    dragging_ = true;
    setSliderDown(true);
    setSliderPosition(ValueAt(event->position().toPoint()));
    triggerAction(SliderMove);
    event->accept();
    update();
}

void SkinSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) {
        event->ignore();
        return;
    }
    setSliderPosition(ValueAt(event->position().toPoint()));
    event->accept();
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_) {
        event->ignore();
        return;
    }
    dragging_ = false;
    setSliderPosition(ValueAt(event->position().toPoint()));
    setSliderDown(false);
    event->accept();
    update();
}

void SkinSlider::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QSlider::enterEvent(event);
}

void SkinSlider::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QSlider::leaveEvent(event);
}

// ---------------------------------------------------------------------------------------
// SkinProgressBar

SkinProgressBar::SkinProgressBar(QWidget* parent) : QProgressBar(parent) { setTextVisible(false); }

void SkinProgressBar::setBarImage(const QPixmap& bar) {
    bar_ = bar;
    update();
}

void SkinProgressBar::setTrackImage(const QPixmap& track) {
    track_ = track;
    update();
}

void SkinProgressBar::setShowPercent(bool show) {
    showPercent_ = show;
    update();
}

void SkinProgressBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const bool vertical = orientation() == Qt::Vertical;
    const QRect area = rect();
    if (!track_.isNull()) {
        p.drawPixmap(area, track_);
    } else {
        p.setPen(Qt::NoPen);
        QColor groove = palette().color(QPalette::Base);
        p.setBrush(groove);
        p.drawRoundedRect(QRectF(area), std::min(area.height(), area.width()) / 2.0,
                          std::min(area.height(), area.width()) / 2.0);
    }
    const qint64 span = qint64(maximum()) - minimum();
    const double fraction =
        span > 0 ? std::clamp(double(value() - minimum()) / double(span), 0.0, 1.0) : 0.0;
    if (fraction > 0) {
        QRectF filled =
            vertical ? QRectF(area.left(), area.bottom() + 1 - area.height() * fraction,
                              area.width(), area.height() * fraction)
                     : QRectF(area.left(), area.top(), area.width() * fraction, area.height());
        if (!bar_.isNull()) {
            // Show the part of the bar image under the filled part (not stretched).
            const qreal dpr = bar_.devicePixelRatio();
            const qreal sx = bar_.width() / dpr / std::max(1, area.width());
            const qreal sy = bar_.height() / dpr / std::max(1, area.height());
            QRectF source((filled.left() - area.left()) * sx * dpr,
                          (filled.top() - area.top()) * sy * dpr, filled.width() * sx * dpr,
                          filled.height() * sy * dpr);
            p.drawPixmap(filled, bar_, source);
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(palette().color(QPalette::Highlight));
            const qreal r = std::min(area.height(), area.width()) / 2.0;
            p.drawRoundedRect(filled, r, r);
        }
    }
    if (showPercent_) {
        p.setPen(palette().color(QPalette::Text));
        p.drawText(area, Qt::AlignCenter, QString::asprintf("%d%%", int(fraction * 100 + 0.5)));
    }
}

// ---------------------------------------------------------------------------------------
// SkinListView

namespace {

// A header drawn from the skin's header images, with the list's header font.
class SkinHeaderView : public QHeaderView {
  public:
    explicit SkinHeaderView(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setSectionsClickable(true);
        setHighlightSections(false);
        setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setMouseTracking(true);
    }
    void setImages(const SkinStateImages& background, const QPixmap& separator) {
        background_ = background;
        separator_ = separator;
        viewport()->update();
    }
    bool hasImages() const { return !background_[kSkinNormal].isNull(); }

  protected:
    // The section under the mouse shows its hover picture.
    void mouseMoveEvent(QMouseEvent* event) override {
        if (hasImages()) viewport()->update();
        QHeaderView::mouseMoveEvent(event);
    }
    void leaveEvent(QEvent* event) override {
        if (hasImages()) viewport()->update();
        QHeaderView::leaveEvent(event);
    }
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override {
        if (!hasImages()) {
            QHeaderView::paintSection(painter, rect, logicalIndex);
            return;
        }
        painter->save();
        SkinState state = !isEnabled() ? kSkinDisabled : kSkinNormal;
        const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
        if (state == kSkinNormal && viewport()->underMouse() && rect.contains(mouse))
            state = (QGuiApplication::mouseButtons() & Qt::LeftButton) ? kSkinPressed : kSkinHover;
        if (const QPixmap* image = PickImage(background_, state)) painter->drawPixmap(rect, *image);
        if (!separator_.isNull()) {
            const QSize s = separator_.size() / separator_.devicePixelRatio();
            painter->drawPixmap(
                QRect(rect.right() + 1 - s.width(), rect.top(), s.width(), rect.height()),
                separator_);
        }
        const QVariant text =
            model() ? model()->headerData(logicalIndex, orientation(), Qt::DisplayRole)
                    : QVariant();
        QVariant align =
            model() ? model()->headerData(logicalIndex, orientation(), Qt::TextAlignmentRole)
                    : QVariant();
        const Qt::Alignment a =
            align.isValid() ? Qt::Alignment(align.toInt()) : Qt::Alignment(defaultAlignment());
        painter->setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                        QPalette::ButtonText));
        painter->setFont(font());
        painter->drawText(
            rect.adjusted(4, 0, -4, 0), int(a) | Qt::AlignVCenter,
            fontMetrics().elidedText(text.toString(), Qt::ElideRight, rect.width() - 8));
        painter->restore();
    }

  private:
    SkinStateImages background_;
    QPixmap separator_;
};

// Draws the item check boxes of a list to match the skin: a rounded box, filled with the
// highlight colour and a tick when checked.
class SkinListStyle : public QProxyStyle {
  public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_IndicatorItemViewItemCheck) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QPalette& pal = option->palette;
        const bool enabled = option->state & State_Enabled;
        const qreal side =
            std::min<qreal>(14, std::min(option->rect.width(), option->rect.height()));
        const QRectF box(option->rect.center().x() - side / 2 + 0.5,
                         option->rect.center().y() - side / 2 + 0.5, side - 1, side - 1);
        QColor accent = pal.color(QPalette::Highlight);
        if (!enabled) accent.setAlpha(90);
        if (option->state & State_On) {
            painter->setPen(QPen(accent.lighter(115), 1));
            painter->setBrush(accent);
            painter->drawRoundedRect(box, 3.5, 3.5);
            painter->setPen(QPen(pal.color(QPalette::HighlightedText), 1.8, Qt::SolidLine,
                                 Qt::RoundCap, Qt::RoundJoin));
            painter->drawPolyline(
                QPolygonF({QPointF(box.left() + side * 0.24, box.top() + side * 0.52),
                           QPointF(box.left() + side * 0.43, box.top() + side * 0.7),
                           QPointF(box.left() + side * 0.76, box.top() + side * 0.3)}));
        } else {
            QColor border = pal.color(QPalette::Text);
            border.setAlpha(enabled ? 110 : 50);
            painter->setPen(QPen(border, 1));
            painter->setBrush(pal.color(QPalette::Base));
            painter->drawRoundedRect(box, 3.5, 3.5);
        }
        painter->restore();
    }
};

}  // namespace

SkinListView::SkinListView(QWidget* parent) : QTreeWidget(parent) {
    auto* style = new SkinListStyle;
    style->setParent(this);
    setStyle(style);
    setHeader(new SkinHeaderView(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setFrameShape(QFrame::NoFrame);
    header()->setStretchLastSection(true);
}

bool SkinListView::viewportEvent(QEvent* event) {
    // A cell too narrow for its text shows the whole text on hover.
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && !index.data(Qt::ToolTipRole).isValid()) {
            const QString text = index.data(Qt::DisplayRole).toString();
            const QRect cell = visualRect(index);
            const int iconRoom = index.data(Qt::DecorationRole).isValid() ? iconSize().width() + 8 : 0;
            if (fontMetrics().horizontalAdvance(text) + iconRoom + 8 > cell.width())
                QToolTip::showText(help->globalPos(), text, viewport(), cell);
            else
                QToolTip::hideText();
            return true;
        }
    }
    return QTreeWidget::viewportEvent(event);
}

void SkinListView::setGridLines(bool on) {
    gridLines_ = on;
    viewport()->update();
}

void SkinListView::setHeaderImages(const SkinStateImages& background, const QPixmap& separator) {
    static_cast<SkinHeaderView*>(header())->setImages(background, separator);
}

void SkinListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QTreeWidget::drawRow(painter, option, index);
    if (!gridLines_) return;
    painter->save();
    QColor line = palette().color(QPalette::Text);
    line.setAlpha(28);
    painter->setPen(line);
    const QRect r = option.rect;
    painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    for (int c = 0; c + 1 < header()->count(); ++c) {
        const int x = header()->sectionViewportPosition(c) + header()->sectionSize(c) - 1;
        painter->drawLine(x, r.top(), x, r.bottom());
    }
    painter->restore();
}

// ---------------------------------------------------------------------------------------
// SkinComboBox

SkinComboBox::SkinComboBox(QWidget* parent) : QComboBox(parent) {
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] {
        if (sorted_) model()->sort(0);
    });
}

int PopupWidthForEntries(const QComboBox* box) {
    QAbstractItemView* view = box->view();
    view->ensurePolished();
    // The entries' own width as the list draws them, its frame and a scroll bar that may
    // show.
    return view->sizeHintForColumn(0) + 2 * view->frameWidth() +
           view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view) + 4;
}

void SkinComboBox::showPopup() {
    // The box keeps the skin's width; its open list is as wide as its longest entry, so
    // every entry reads in full (the screen's width still bounds it).
    view()->setMinimumWidth(PopupWidthForEntries(this));
    QComboBox::showPopup();
}

bool SkinComboBox::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        QStyleOptionComboBox option;
        initStyleOption(&option);
        const QRect room =
            style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        if (fontMetrics().horizontalAdvance(currentText()) > room.width())
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), currentText(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QComboBox::event(event);
}

void SkinComboBox::setSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_) model()->sort(0);
}

}  // namespace quelt
