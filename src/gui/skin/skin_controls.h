// The Qt widgets that a SkinnedWindow makes for the skin's control types. Code that binds
// controls by number may use the Qt base class of each (QAbstractButton, QSlider,
// QProgressBar, QLabel, QTreeWidget) and never needs these types; they exist for the
// drawing from skin images. Threading: GUI thread only.
#pragma once

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QSlider>
#include <QTreeWidget>
#include <array>

#include "gui/skin/skin_document.h"

namespace quelt {

// Four pictures of one thing, by SkinState (normal, hover, pressed, disabled). A null
// pixmap means "no image for this state": the normal one is drawn instead, and with no
// normal image nothing is drawn.
using SkinStateImages = std::array<QPixmap, 4>;

// Push button ("PUSHBUTTON"), check box ("CHECK", checkable) or radio button ("RADIO",
// checkable and exclusive among the radios of its group). Draws the image of its state —
// disabled, pressed (mouse down or key down), hover (mouse over), normal; checked buttons
// use the checked images when they have them — then its caption with the font and
// colour of that state. A button without images still draws its caption.
// clicked(), toggled() etc. are QAbstractButton's.
class SkinButton : public QAbstractButton {
    Q_OBJECT
  public:
    explicit SkinButton(SkinControlType kind, QWidget* parent = nullptr);

    SkinControlType kind() const { return kind_; }
    void setImages(const SkinStateImages& unchecked, const SkinStateImages& checked);
    void setMaskImage(const QPixmap& mask);  // "MaskBmp": clips the button's shape
    void setTextStyle(const SkinTextStyle& style);
    // "IsMultiline": the caption wraps at the button's width.
    void setMultiline(bool on);
    bool isMultilineText() const;
    // The state whose image is drawn now.
    SkinState visualState() const;
    bool hasImage() const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void nextCheckState() override;
    bool hitButton(const QPoint& pos) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    SkinControlType kind_;
    SkinStateImages unchecked_;
    SkinStateImages checked_;
    QPixmap mask_;
    SkinTextStyle style_;
    bool hovered_ = false;
    bool multiline_ = false;
    bool keyboardFocus_ = false;  // the focus ring shows only for focus from the keyboard
};

// Static text ("STATIC"): a QLabel with the skin's normal and disabled font and colour,
// alignment and offsets; transparent, so the window's background shows through. A text
// that its fixed size cuts off shows whole as a tooltip (unless the label has its own).
class SkinLabel : public QLabel {
    Q_OBJECT
  public:
    explicit SkinLabel(QWidget* parent = nullptr);
    void setTextStyle(const SkinTextStyle& style);

  protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void ApplyState();
    SkinTextStyle style_;
};

// Track bar ("SLIDER") or skinned slider ("SLIDEREX"). The groove is the window's
// background (the art draws it); with thumb images the thumb is drawn from them by
// state, otherwise a plain round thumb in the palette's highlight colour. The part of the
// groove before the thumb is filled with the palette's highlight colour.
class SkinSlider : public QSlider {
    Q_OBJECT
  public:
    explicit SkinSlider(Qt::Orientation orientation, QWidget* parent = nullptr);
    void setThumbImages(const SkinStateImages& thumb);
    void setGrooveImage(const QPixmap& groove);  // the control's cut of the background

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    int ValueAt(const QPoint& pos) const;
    QRect ThumbRect() const;
    QSize ThumbSize() const;
    SkinStateImages thumb_;
    QPixmap groove_;
    bool hovered_ = false;
    bool dragging_ = false;
};

// Progress bar ("PROGRESS"): draws its cut of the background, then the "Thumb" image (or
// the palette's highlight colour) over the filled part; with "IsShowText" the percentage
// as "%d%" centred. Range and value are QProgressBar's (default 0..100).
class SkinProgressBar : public QProgressBar {
    Q_OBJECT
  public:
    explicit SkinProgressBar(QWidget* parent = nullptr);
    void setBarImage(const QPixmap& bar);
    void setTrackImage(const QPixmap& track);
    void setShowPercent(bool show);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap bar_;
    QPixmap track_;
    bool showPercent_ = false;
};

// List view ("LISTCTRL") as a flat QTreeWidget in report style: one row per item, columns
// with a header (hidden with "IsNoHeader"), full-row selection, optional grid lines.
// Item check boxes are drawn as rounded boxes in the palette's highlight colour.
// The header is drawn from "HeaderBkN/H/S/D" and "HeaderSeparatorBkN" when the skin has
// them. Columns, items, check boxes and icons are set up by the page through the
// QTreeWidget API. A cell too narrow for its text shows the whole text as a tooltip.
class SkinListView : public QTreeWidget {
    Q_OBJECT
  public:
    explicit SkinListView(QWidget* parent = nullptr);
    void setGridLines(bool on);
    bool gridLines() const { return gridLines_; }
    void setHeaderImages(const SkinStateImages& background, const QPixmap& separator);

  protected:
    bool viewportEvent(QEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

  private:
    bool gridLines_ = false;
};

// The width an open list needs to show every entry of `box` in full.
int PopupWidthForEntries(const QComboBox* box);

// Combo box ("COMBOBOX"): a QComboBox that keeps its items sorted when "IsSort" is set,
// editable unless "ComboStyle" is 3 (drop-down list). It keeps the skin's size, but its
// open list is as wide as its longest entry, and a cut-off current entry shows whole as a
// tooltip.
class SkinComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit SkinComboBox(QWidget* parent = nullptr);
    void setSorted(bool sorted);
    bool isSorted() const { return sorted_; }
    void showPopup() override;

  protected:
    bool event(QEvent* event) override;

  private:
    bool sorted_ = false;
};

}  // namespace quelt
