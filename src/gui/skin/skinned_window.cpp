#include "gui/skin/skinned_window.h"

#include <QApplication>
#include <QBitmap>
#include <QButtonGroup>
#include <QHeaderView>
#include <QIntValidator>
#include <QKeySequenceEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSpinBox>
#include <QTextEdit>

#include "gui/skin/skin_text.h"

namespace quelt {

namespace {

QRect ToQRect(const SkinRect& r) {
    // A rectangle whose right or bottom lies before its left or top is empty.
    return QRect(r.left, r.top, std::max(0, r.width()), std::max(0, r.height()));
}

QString ColorCss(const QColor& c) {
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(c.alpha());
}

}  // namespace

SkinnedWindow::SkinnedWindow(Skin& skin, int windowNumber, QWidget* parent, Flags flags)
    : QWidget(parent), skin_(skin), windowNumber_(windowNumber), flags_(flags) {
    connect(&skin_, &Skin::changed, this, &SkinnedWindow::Reskin);
    Reskin();
}

SkinnedWindow::~SkinnedWindow() = default;

bool SkinnedWindow::isSkinned() const {
    return status_ == kSkinned || status_ == kNoHoverOrPressed || status_ == kNoDisabledImage;
}

QWidget* SkinnedWindow::controlWidget(int id) const { return byId_.value(id, nullptr); }

QList<int> SkinnedWindow::controlIds() const {
    QList<int> ids;
    for (const Built& b : controls_)
        if (b.id >= 0 && b.widget && byId_.value(b.id) == b.widget) ids.append(b.id);
    return ids;
}

void SkinnedWindow::LoadBackgrounds() {
    for (int s = 0; s < 4; ++s) backgrounds_[s] = skin_.Image(description_.backgrounds[s]);
    painted_ = skin_.Image(description_.bkno);
    if (painted_.isNull()) painted_ = backgrounds_[kSkinNormal];

    if (backgrounds_[kSkinNormal].isNull()) {
        status_ = painted_.isNull() ? kNoBackground : kNoNormalImage;
    } else if (backgrounds_[kSkinHover].isNull() || backgrounds_[kSkinPressed].isNull()) {
        status_ = kNoHoverOrPressed;
    } else if (backgrounds_[kSkinDisabled].isNull()) {
        status_ = kNoDisabledImage;
    } else {
        status_ = kSkinned;
    }
    const QPixmap& sizer =
        !backgrounds_[kSkinNormal].isNull() ? backgrounds_[kSkinNormal] : painted_;
    skinSize_ = sizer.isNull() ? QSize() : (sizer.size() / sizer.devicePixelRatio());

    if (description_.isUseMaskColor && (flags_ & UseMask) && !painted_.isNull()) {
        // Pixels of the mask colour become transparent in the painted background.
        QImage image = painted_.toImage().convertToFormat(QImage::Format_ARGB32);
        const QRgb key = ToQColor(description_.maskColor).rgb() & 0xFFFFFF;
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
        }
        const qreal dpr = painted_.devicePixelRatio();
        painted_ = QPixmap::fromImage(image);
        painted_.setDevicePixelRatio(dpr);
    }
}

void SkinnedWindow::ApplyMask() {
    if (!(description_.isUseMaskColor && (flags_ & UseMask)) || painted_.isNull()) {
        clearMask();
        return;
    }
    QImage image = painted_.toImage();
    if (painted_.devicePixelRatio() != 1.0)
        image = image.scaled(skinSize_, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QImage alpha = image.createAlphaMask();
    if (alpha.isNull()) {
        clearMask();
        return;
    }
    setMask(QBitmap::fromImage(alpha));
}

QPixmap SkinnedWindow::CutBackground(SkinState state, const SkinRect& rect) const {
    const QPixmap& bg = backgrounds_[state];
    const QRect r = ToQRect(rect);
    if (bg.isNull() || r.isEmpty()) return {};
    const qreal dpr = bg.devicePixelRatio();
    const QRect device(qRound(r.x() * dpr), qRound(r.y() * dpr), qRound(r.width() * dpr),
                       qRound(r.height() * dpr));
    const QRect inside = device.intersected(bg.rect());
    if (inside.isEmpty()) return {};
    QPixmap cut = bg.copy(device);  // parts outside the image read transparent/black
    cut.setDevicePixelRatio(dpr);
    return cut;
}

QPixmap SkinnedWindow::CheckedImage(const std::string& file, const SkinRect& rect) const {
    QPixmap image = skin_.Image(file);
    if (image.isNull()) return {};
    const QSize logical = image.size() / image.devicePixelRatio();
    const QRect r = ToQRect(rect);
    // A picture as large as the window is cut like the backgrounds; a smaller one is the
    // control's own picture.
    if (!skinSize_.isEmpty() && logical.width() >= skinSize_.width() &&
        logical.height() >= skinSize_.height()) {
        if (r.isEmpty()) return {};
        const qreal dpr = image.devicePixelRatio();
        QPixmap cut = image.copy(QRect(qRound(r.x() * dpr), qRound(r.y() * dpr),
                                       qRound(r.width() * dpr), qRound(r.height() * dpr)));
        cut.setDevicePixelRatio(dpr);
        return cut;
    }
    return image;
}

void SkinnedWindow::ApplyPalette() {
    const QPalette base = parentWidget() ? parentWidget()->palette() : QApplication::palette();
    setPalette(SkinPalette(skin_.document(), windowNumber_, base));
}

QWidget* SkinnedWindow::CreateControl(const SkinControl& c) {
    switch (c.type) {
        case SkinControlType::PushButton:
        case SkinControlType::Check:
        case SkinControlType::Radio: {
            auto* button = new SkinButton(c.type, this);
            connect(button, &QAbstractButton::clicked, this, [this, button] {
                const int id = button->property("skinId").toInt();
                if (id >= 0) emit controlClicked(id);
            });
            return button;
        }
        case SkinControlType::Static:
            return new SkinLabel(this);
        case SkinControlType::Edit:
            if (c.edit.isMultiline) return new QPlainTextEdit(this);
            return new QLineEdit(this);
        case SkinControlType::RichEdit:
            return new QTextEdit(this);
        case SkinControlType::ComboBox:
            return new SkinComboBox(this);
        case SkinControlType::Slider:
        case SkinControlType::SliderEx:
            return new SkinSlider(c.slider.isVertical ? Qt::Vertical : Qt::Horizontal, this);
        case SkinControlType::Progress:
            return new SkinProgressBar(this);
        case SkinControlType::ListCtrl:
            return new SkinListView(this);
        case SkinControlType::TreeCtrl:
        case SkinControlType::TreeList:
            return new QTreeWidget(this);
        case SkinControlType::Spin:
            return new QSpinBox(this);
        case SkinControlType::HotKey:
            return new QKeySequenceEdit(this);
        case SkinControlType::IpAddress: {
            auto* edit = new QLineEdit(this);
            edit->setInputMask(QStringLiteral("000.000.000.000;_"));
            return edit;
        }
        case SkinControlType::ScrollBarEx:
            return new QScrollBar(c.scrollBar.isVertical ? Qt::Vertical : Qt::Horizontal, this);
        case SkinControlType::Thumbnail: {
            auto* view = new QListWidget(this);
            view->setViewMode(QListView::IconMode);
            return view;
        }
        case SkinControlType::Unknown:
            return nullptr;
    }
    return nullptr;
}

namespace {

void ApplyFont(QWidget* widget, const SkinTextStyle& style, const QFont& base) {
    if (style.fonts[kSkinNormal]) widget->setFont(ToQFont(*style.fonts[kSkinNormal], base));
}

// Edits and combo boxes sit on the art, which draws their field; they are transparent.
QString FieldSheet(const char* widgetClass, const QPalette& pal, int leftPad, int rightPad) {
    return QStringLiteral(
               "%1{background:transparent;border:1px solid transparent;border-radius:6px;"
               "padding:0px %3px 0px %2px;color:%4;"
               "selection-background-color:%5;selection-color:%6;}"
               "%1:focus{border:1px solid %5;}%1:disabled{color:%7;}")
        .arg(QString::fromLatin1(widgetClass))
        .arg(leftPad)
        .arg(rightPad)
        .arg(ColorCss(pal.color(QPalette::Active, QPalette::Text)),
             ColorCss(pal.color(QPalette::Active, QPalette::Highlight)),
             ColorCss(pal.color(QPalette::Active, QPalette::HighlightedText)),
             ColorCss(pal.color(QPalette::Disabled, QPalette::Text)));
}

// Slim scroll bars in the palette's colours, set on the scroll bars themselves so that the
// rest of the control keeps following its palette.
void StyleScrollBars(QAbstractScrollArea* area) {
    const QColor handle = area->palette().color(QPalette::Text);
    QColor idle = handle, hover = handle;
    idle.setAlpha(70);
    hover.setAlpha(130);
    const QString sheet =
        QStringLiteral(
            "QScrollBar:vertical{background:transparent;width:10px;margin:2px 1px 2px 1px;}"
            "QScrollBar:horizontal{background:transparent;height:10px;margin:1px 2px 1px 2px;}"
            "QScrollBar::handle{background:%1;border-radius:4px;min-height:24px;min-width:24px;}"
            "QScrollBar::handle:hover{background:%2;}"
            "QScrollBar::add-line,QScrollBar::sub-line{width:0;height:0;border:none;background:"
            "none;}"
            "QScrollBar::add-page,QScrollBar::sub-page{background:transparent;}")
            .arg(ColorCss(idle), ColorCss(hover));
    area->verticalScrollBar()->setStyleSheet(sheet);
    area->horizontalScrollBar()->setStyleSheet(sheet);
}

// The name a screen reader announces: a button's caption or tooltip; for other controls
// their "IDs" name made readable ("IDC_RIP_DRIVES" reads "Drives").
QString AccessibleNameOf(const SkinControl& c) {
    if (!c.button.caption.empty()) return QString::fromStdString(c.button.caption);
    if (!c.button.toolTips.empty()) return QString::fromStdString(c.button.toolTips);
    QString name = QString::fromStdString(c.idsName);
    for (const char* prefix : {"IDC_RIP_", "IDC_CONV_", "IDC_BURN_", "IDC_"})
        if (name.startsWith(QLatin1String(prefix))) {
            name = name.mid(int(qstrlen(prefix)));
            break;
        }
    name = name.replace(QLatin1Char('_'), QLatin1Char(' ')).toLower();
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return name;
}

}  // namespace

void SkinnedWindow::ConfigureControl(QWidget* widget, const SkinControl& c, bool created) {
    widget->setProperty("skinId", c.id);
    widget->setObjectName(QString::fromStdString(c.idsName.empty() ? c.section : c.idsName));
    widget->setAccessibleName(AccessibleNameOf(c));
    widget->setGeometry(ToQRect(c.rect));
    if (created) {
        widget->setVisible(c.isVisible);
        widget->setEnabled(!c.isDisabled);
    }
    const QFont base = font();
    const QPalette pal = palette();
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) StyleScrollBars(area);
    if (auto bk = c.raw.find("colorbk"); bk != c.raw.end()) {
        QPalette own = widget->palette();
        own.setColor(QPalette::Base,
                     ToQColor(SkinColor(skin_text::ParseInt(bk->second)) & 0xFFFFFFu));
        widget->setPalette(own);
    }
    auto tabStop = [&](bool on) { widget->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); };

    switch (c.type) {
        case SkinControlType::PushButton:
        case SkinControlType::Check:
        case SkinControlType::Radio: {
            auto* button = static_cast<SkinButton*>(widget);
            SkinStateImages normal, checked;
            for (int s = 0; s < 4; ++s) {
                normal[s] = CutBackground(SkinState(s), c.rect);
                if (c.type != SkinControlType::PushButton)
                    checked[s] = CheckedImage(c.button.checkedImages[s], c.rect);
            }
            button->setImages(normal, checked);
            button->setTextStyle(c.text);
            button->setMultiline(c.button.isMultiline);
            ApplyFont(button, c.text, base);
            if (created) button->setText(QString::fromStdString(c.button.caption));
            button->setToolTip(c.button.useToolTip ? QString::fromStdString(c.button.toolTips)
                                                   : QString());
            button->setFocusPolicy(c.button.isTabStop ? Qt::TabFocus : Qt::NoFocus);
            button->setMaskImage(skin_.Image(c.button.maskBmp));
            button->setCursor(Qt::PointingHandCursor);
            break;
        }
        case SkinControlType::Static: {
            auto* label = static_cast<SkinLabel*>(widget);
            label->setTextStyle(c.text);
            label->setWordWrap(!c.label.noWrap);
            if (created) label->setText(QString::fromStdString(c.label.caption));
            label->setToolTip(c.label.useToolTip ? QString::fromStdString(c.label.toolTips)
                                                 : QString());
            break;
        }
        case SkinControlType::Edit:
        case SkinControlType::RichEdit: {
            ApplyFont(widget, c.text, base);
            tabStop(c.edit.isTabStop);
            const int left = 6 + std::max(0, c.text.horAlig);
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                edit->setFrame(false);
                edit->setStyleSheet(FieldSheet("QLineEdit", pal, left, 6));
                Qt::Alignment h = c.edit.horAligMode == 1   ? Qt::AlignHCenter
                                  : c.edit.horAligMode == 2 ? Qt::AlignRight
                                                            : Qt::AlignLeft;
                edit->setAlignment(h | Qt::AlignVCenter);
                edit->setEchoMode(c.edit.isPassword ? QLineEdit::Password : QLineEdit::Normal);
                edit->setReadOnly(c.edit.isReadOnly);
                if (created && c.edit.isNumber)
                    edit->setValidator(
                        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
                if (created && (c.edit.isUpperCase || c.edit.isLowerCase)) {
                    const bool upper = c.edit.isUpperCase;
                    connect(edit, &QLineEdit::textEdited, edit, [edit, upper](const QString& text) {
                        const QString cased = upper ? text.toUpper() : text.toLower();
                        if (cased == text) return;
                        const int cursor = edit->cursorPosition();
                        edit->setText(cased);
                        edit->setCursorPosition(cursor);
                    });
                }
                edit->setLayoutDirection(c.edit.isR2LReadOrder ? Qt::RightToLeft : Qt::LeftToRight);
            } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
                plain->setFrameShape(QFrame::NoFrame);
                plain->setTabChangesFocus(true);  // Tab moves on, as in every other field
                plain->setStyleSheet(FieldSheet("QPlainTextEdit", pal, left, 6));
                plain->setReadOnly(c.edit.isReadOnly);
                plain->setLineWrapMode(c.edit.isAutoHScroll && c.edit.isHScroll
                                           ? QPlainTextEdit::NoWrap
                                           : QPlainTextEdit::WidgetWidth);
                plain->setVerticalScrollBarPolicy(c.edit.isVScroll ? Qt::ScrollBarAsNeeded
                                                                   : Qt::ScrollBarAlwaysOff);
                plain->setHorizontalScrollBarPolicy(c.edit.isHScroll ? Qt::ScrollBarAsNeeded
                                                                     : Qt::ScrollBarAlwaysOff);
            } else if (auto* rich = qobject_cast<QTextEdit*>(widget)) {
                rich->setFrameShape(QFrame::NoFrame);
                rich->setReadOnly(c.edit.isReadOnly);
            }
            break;
        }
        case SkinControlType::ComboBox: {
            auto* combo = static_cast<SkinComboBox*>(widget);
            ApplyFont(combo, c.text, base);
            tabStop(c.combo.isTabStop);
            combo->setEditable(c.combo.comboStyle != 3);
            combo->setSorted(c.combo.isSort);
            combo->setMaxVisibleItems(std::clamp(c.combo.dropListHeight, 1, 40));
            const int button = std::clamp(c.combo.btnWidth, 0, std::max(0, c.rect.width()));
            combo->setStyleSheet(
                FieldSheet("QComboBox", pal, 6 + std::max(0, c.text.horAlig), 2) +
                QStringLiteral(
                    "QComboBox::drop-down{border:none;width:%1px;background:transparent;}"
                    "QComboBox::down-arrow{image:none;width:0;height:0;}"
                    "QComboBox QAbstractItemView{background:%2;color:%3;border:1px solid %4;"
                    "selection-background-color:%5;selection-color:%6;outline:0;padding:2px;}")
                    .arg(button)
                    .arg(ColorCss(pal.color(QPalette::Window)), ColorCss(pal.color(QPalette::Text)),
                         ColorCss(pal.color(QPalette::Mid)),
                         ColorCss(pal.color(QPalette::Highlight)),
                         ColorCss(pal.color(QPalette::HighlightedText))));
            combo->setCursor(Qt::PointingHandCursor);
            break;
        }
        case SkinControlType::Slider:
        case SkinControlType::SliderEx: {
            auto* slider = static_cast<SkinSlider*>(widget);
            SkinStateImages thumbs;
            for (int s = 0; s < 4; ++s) thumbs[s] = skin_.Image(c.slider.thumbImages[s]);
            slider->setThumbImages(thumbs);
            slider->setCursor(Qt::PointingHandCursor);
            break;
        }
        case SkinControlType::Progress: {
            auto* bar = static_cast<SkinProgressBar*>(widget);
            bar->setOrientation(c.progress.isVertical ? Qt::Vertical : Qt::Horizontal);
            bar->setShowPercent(c.progress.isShowText);
            bar->setBarImage(skin_.Image(c.progress.thumb));
            bar->setTrackImage(CutBackground(kSkinNormal, c.rect));
            ApplyFont(bar, c.text, base);
            break;
        }
        case SkinControlType::ListCtrl: {
            auto* list = static_cast<SkinListView*>(widget);
            list->setHeaderHidden(c.list.isNoHeader);
            list->setSelectionMode(c.list.isSingleSel ? QAbstractItemView::SingleSelection
                                                      : QAbstractItemView::ExtendedSelection);
            list->header()->setSectionsClickable(!c.list.isNoSortHeader);
            list->setEditTriggers(c.list.isEditLabels ? QAbstractItemView::EditKeyPressed |
                                                            QAbstractItemView::SelectedClicked
                                                      : QAbstractItemView::NoEditTriggers);
            if (created && c.list.listSort != 0) {
                list->setSortingEnabled(true);
                list->sortByColumn(0,
                                   c.list.listSort == 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
            }
            list->setVerticalScrollBarPolicy(c.list.isNoScroll ? Qt::ScrollBarAlwaysOff
                                                               : Qt::ScrollBarAsNeeded);
            list->setHorizontalScrollBarPolicy(c.list.isNoScroll ? Qt::ScrollBarAlwaysOff
                                                                 : Qt::ScrollBarAsNeeded);
            SkinStateImages header;
            for (int s = 0; s < 4; ++s) header[s] = skin_.Image(c.list.headerImages[s]);
            list->setHeaderImages(header, skin_.Image(c.list.headerSeparatorImage));
            tabStop(c.list.isTabStop);
            break;
        }
        case SkinControlType::TreeCtrl:
        case SkinControlType::TreeList: {
            auto* tree = static_cast<QTreeWidget*>(widget);
            tree->setHeaderHidden(c.type == SkinControlType::TreeCtrl);
            tree->setRootIsDecorated(c.tree.isHasButtons || c.tree.isLineAtRoot);
            tree->setAllColumnsShowFocus(c.tree.isFullRowSel);
            tree->setFrameShape(QFrame::NoFrame);
            tabStop(c.tree.isTabStop);
            break;
        }
        case SkinControlType::Spin: {
            auto* spin = static_cast<QSpinBox*>(widget);
            spin->setWrapping(c.spin.isWrap);
            spin->setGroupSeparatorShown(!c.spin.isNoThousands);
            tabStop(c.spin.isTabStop);
            break;
        }
        case SkinControlType::Thumbnail: {
            auto* view = static_cast<QListWidget*>(widget);
            view->setViewMode(c.thumbnail.isListStyle ? QListView::ListMode : QListView::IconMode);
            view->setGridSize(
                QSize(std::max(1, c.thumbnail.totalWidth), std::max(1, c.thumbnail.totalHeight)));
            tabStop(c.thumbnail.isTabStop);
            break;
        }
        case SkinControlType::HotKey:
        case SkinControlType::IpAddress:
        case SkinControlType::ScrollBarEx:
        case SkinControlType::Unknown:
            break;
    }
}

void SkinnedWindow::Reskin() {
    std::optional<SkinWindow> window = skin_.document().Window(windowNumber_);
    description_ = window ? std::move(*window) : SkinWindow{};
    description_.number = windowNumber_;
    if (window) {
        LoadBackgrounds();
    } else {
        status_ = kNoSection;
        backgrounds_ = {};
        painted_ = {};
        skinSize_ = {};
    }
    ApplyPalette();

    for (QButtonGroup* group : findChildren<QButtonGroup*>(Qt::FindDirectChildrenOnly))
        delete group;
    QButtonGroup* radios = nullptr;

    byId_.clear();
    std::vector<Built> next;
    next.reserve(description_.controls.size());
    for (std::size_t i = 0; i < description_.controls.size(); ++i) {
        const SkinControl& c = description_.controls[i];
        QWidget* widget = nullptr;
        bool created = false;
        if (i < controls_.size() && controls_[i].widget && controls_[i].type == c.type &&
            c.type != SkinControlType::Unknown) {
            widget = controls_[i].widget;
            if (c.type == SkinControlType::Edit &&
                c.edit.isMultiline != (qobject_cast<QPlainTextEdit*>(widget) != nullptr))
                widget = nullptr;
        }
        if (!widget) {
            widget = CreateControl(c);
            created = widget != nullptr;
        }
        if (widget) {
            ConfigureControl(widget, c, created);
            if (c.type == SkinControlType::Radio) {
                if (!radios || c.button.isGroup) {
                    radios = new QButtonGroup(this);
                    radios->setExclusive(true);
                }
                radios->addButton(static_cast<QAbstractButton*>(widget));
            }
            if (c.id >= 0 && !byId_.contains(c.id)) byId_.insert(c.id, widget);
        }
        next.push_back({c.type, widget, c.id});
    }
    // Widgets the new skin no longer has stay alive (callers may hold them) but hidden.
    for (const Built& old : controls_) {
        if (!old.widget) continue;
        bool kept = false;
        for (const Built& b : next) kept = kept || b.widget == old.widget;
        if (!kept) {
            old.widget->hide();
            old.widget->setProperty("skinId", -1);
        }
    }
    controls_ = std::move(next);

    if (!skinSize_.isEmpty()) {
        if (description_.isResizing) {
            setMinimumSize(skinSize_);
            setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            resize(size().expandedTo(skinSize_));
        } else {
            setFixedSize(skinSize_);
        }
    }
    ApplyMask();
    update();
    emit reskinned();
}

void SkinnedWindow::paintEvent(QPaintEvent*) {
    if (painted_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!description_.isResizing || size() == skinSize_ || skinSize_.isEmpty()) {
        p.drawPixmap(QRect(QPoint(0, 0), skinSize_.isEmpty() ? size() : skinSize_), painted_);
        return;
    }
    // Stretch around the reference point: the quarters keep their size; the row and the
    // column through the point fill the rest.
    const qreal dpr = painted_.devicePixelRatio();
    const int w = skinSize_.width(), h = skinSize_.height();
    const int px = std::clamp(description_.resizingPtX, 0, w - 1);
    const int py = std::clamp(description_.resizingPtY, 0, h - 1);
    const int W = std::max(width(), w), H = std::max(height(), h);
    const int xs[] = {0, px, px + 1, w};            // source columns
    const int xd[] = {0, px, W - (w - px - 1), W};  // destination columns
    const int ys[] = {0, py, py + 1, h};
    const int yd[] = {0, py, H - (h - py - 1), H};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const QRectF source(xs[i] * dpr, ys[j] * dpr, (xs[i + 1] - xs[i]) * dpr,
                                (ys[j + 1] - ys[j]) * dpr);
            const QRectF target(xd[i], yd[j], xd[i + 1] - xd[i], yd[j + 1] - yd[j]);
            if (source.isEmpty() || target.isEmpty()) continue;
            p.drawPixmap(target, painted_, source);
        }
}

}  // namespace quelt
