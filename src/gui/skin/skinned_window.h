// A window or page whose look and child controls come from one window section of the
// skin. Usage:
//
//     Skin skin;                                   // one per application
//     skin.Load("skins/zqr/the.ui", true, dataFolder);
//     class MainWindow : public SkinnedWindow {   // or a plain SkinnedWindow
//         MainWindow(Skin& s) : SkinnedWindow(s, 1000, nullptr, SkinnedWindow::UseMask) {
//             connect(this, &SkinnedWindow::controlClicked, this, &MainWindow::OnCommand);
//             control<QComboBox>(1018)->addItems(...);
//         }
//     };
//
// Building (in the constructor, and again on Skin::changed or Reskin()):
//  1. The window's section is NameOfNumber(windowNumber).
//  2. Backgrounds: "BKN" is required (missing: skinStatus() 2); "BKNO" is the painted
//     background, "BKN" when it cannot be loaded (neither: status 1); a missing "BKH" or
//     "BKS" gives warning 3, a missing "BKD" warning 4 (the window still works).
//  3. With the UseMask flag and "IsUseMaskColor", the pixels of the mask colour become
//     transparent and the widget's mask follows the opaque pixels (shaped window).
//  4. Controls are made in section order at their "Rect" (window client pixels), shown
//     when "IsVisible" and disabled when "IsDisabled":
//       PUSHBUTTON, CHECK, RADIO -> SkinButton (QAbstractButton), images cut from
//                                  BKN/BKH/BKS/BKD at the Rect; checked images "BKC*"
//       STATIC                   -> SkinLabel (QLabel)
//       EDIT                     -> QLineEdit, or QPlainTextEdit when "IsMultiline"
//                                  (whose default is 1: single-line fields say 0)
//       RICHEDIT                 -> QTextEdit
//       COMBOBOX                 -> SkinComboBox (QComboBox)
//       SLIDER, SLIDEREX         -> SkinSlider (QSlider), thumbs from "ThumbN/H/S/D"
//       PROGRESS                 -> SkinProgressBar (QProgressBar)
//       LISTCTRL                 -> SkinListView (QTreeWidget in report style)
//       TREECTRL, TREELIST       -> QTreeWidget
//       SPIN                     -> QSpinBox
//       HOTKEY                   -> QKeySequenceEdit
//       IPADDRESS                -> QLineEdit with a dotted-quad input mask
//       SCROLLBAREX              -> QScrollBar
//       THUMBNAIL                -> QListWidget in icon mode
//     An unknown "Type" makes no widget (reading goes on); an "IDs" name that
//     "Resource.h" lacks makes a widget that control() cannot find. A missing image leaves
//     its control without that image. Controls get the skin's fonts and text colours;
//     edits, combo boxes and lists are transparent where the art draws their frames and
//     take their text colours from the window section's optional palette keys (below).
//
// Optional keys this toolkit reads beyond the description format (all colours as skin
// colour integers): in the window section "ColorText", "ColorBase", "ColorAltBase",
// "ColorHighlight", "ColorHighlightText", "ColorPopup" (the palette of the window's
// controls); in a control section "ColorBk" (its own background, for controls the art does
// not paint behind).
//
// The window's fixed size is the size of its "BKN" image (min size when "IsResizing").
// Painting: the "BKNO" image; when "IsResizing" it is stretched to the widget around the
// point ("ResizingPtX", "ResizingPtY"): the four quarters around that point keep their
// size and only the row and column through the point are stretched.
//
// The window does not handle mouse presses on its surface: a subclass may (dragging).
// Threading: GUI thread only.
#pragma once

#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <array>
#include <type_traits>
#include <vector>

#include "gui/skin/skin.h"
#include "gui/skin/skin_controls.h"
#include "gui/skin/skin_document.h"

namespace quelt {

class SkinnedWindow : public QWidget {
    Q_OBJECT
  public:
    enum Flag {
        NoFlags = 0,
        UseMask = 1,  // honour "IsUseMaskColor" (shaped window)
    };
    Q_DECLARE_FLAGS(Flags, Flag)

    // Skin status codes (skinStatus()).
    enum Status {
        kSkinned = 0,
        kNoBackground = 1,      // neither "BKNO" nor "BKN" could be loaded
        kNoNormalImage = 2,     // "BKN" could not be loaded
        kNoHoverOrPressed = 3,  // warning: "BKH" or "BKS" missing
        kNoDisabledImage = 4,   // warning: "BKD" missing
        kNoSection = 5,         // the skin has no section for this window number
    };

    // Builds the window from `skin` at once. `skin` must outlive the window.
    SkinnedWindow(Skin& skin, int windowNumber, QWidget* parent = nullptr, Flags flags = NoFlags);
    ~SkinnedWindow() override;

    int windowNumber() const { return windowNumber_; }
    Skin& skin() const { return skin_; }
    // The status of the last build (0, or one of the codes above; 3 and 4 still mean a
    // working window).
    int skinStatus() const { return status_; }
    // True when the window has its section and its normal background.
    bool isSkinned() const;
    // The window section as read at the last build.
    const SkinWindow& description() const { return description_; }
    // The natural (logical pixel) size of the window: its "BKN" image.
    QSize skinSize() const { return skinSize_; }

    // The widget of control `id` (first control with that number), or nullptr.
    QWidget* controlWidget(int id) const;
    // The control as `W` (e.g. control<QComboBox>(1018)), or nullptr when it is missing
    // or of another kind.
    template <class W>
    W* control(int id) const {
        return qobject_cast<W*>(controlWidget(id));
    }
    // Numbers of the controls that have one, in section order.
    QList<int> controlIds() const;
    // The section of control `id`, or nullptr.
    const SkinControl* controlSection(int id) const { return description_.FindControl(id); }

    // A background image by state (kSkinNormal...), and the painted one ("BKNO"/"BKN").
    QPixmap background(SkinState state) const { return backgrounds_[state]; }
    QPixmap paintedBackground() const { return painted_; }

  public slots:
    // Rebuilds from the skin's current document: reloads the images, re-reads the window
    // and control sections, updates existing controls (by section index, when the type is
    // unchanged) and makes new ones, hides those the new skin lacks; then repaints.
    void Reskin();

  signals:
    // A push button, check box or radio button of the skin was clicked.
    void controlClicked(int id);
    // Emitted after every build, the first included.
    void reskinned();

  protected:
    void paintEvent(QPaintEvent* event) override;

    // The control `id` as a W for a page's logic. When the skin lacks it (or made another
    // kind), a stand-in of the right kind (a check box for a button) takes its place, so
    // that the page's logic never meets a missing control: it takes over the other
    // control's geometry and visibility and hides it, or stays hidden when there is none.
    template <class W>
    W* Bind(int id) {
        if (W* w = control<W>(id)) return w;
        W* standIn = nullptr;
        if constexpr (std::is_same_v<W, QAbstractButton>)
            standIn = new SkinButton(SkinControlType::Check, this);
        else
            standIn = new W(this);
        if (QWidget* other = controlWidget(id)) {
            standIn->setGeometry(other->geometry());
            standIn->setVisible(other->isVisible());
            other->hide();
        } else {
            standIn->hide();
        }
        return standIn;
    }

  private:
    struct Built {
        SkinControlType type = SkinControlType::Unknown;
        QPointer<QWidget> widget;
        int id = -1;
    };
    void LoadBackgrounds();
    void ApplyMask();
    QWidget* CreateControl(const SkinControl& section);
    void ConfigureControl(QWidget* widget, const SkinControl& section, bool created);
    QPixmap CutBackground(SkinState state, const SkinRect& rect) const;
    QPixmap CheckedImage(const std::string& file, const SkinRect& rect) const;
    void ApplyPalette();

    Skin& skin_;
    int windowNumber_;
    Flags flags_;
    int status_ = kNoSection;
    SkinWindow description_;
    QSize skinSize_;
    std::array<QPixmap, 4> backgrounds_;
    QPixmap painted_;
    std::vector<Built> controls_;
    QHash<int, QWidget*> byId_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SkinnedWindow::Flags)

}  // namespace quelt
