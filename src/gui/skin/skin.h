// The application's current skin: the parsed description, its folder and its images.
// One Skin object is made at start-up and outlives every SkinnedWindow built from it.
// Threading: GUI thread only.
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QPixmap>
#include <QString>
#include <memory>
#include <string>

#include "gui/skin/skin_document.h"

namespace quelt {

class Skin : public QObject {
    Q_OBJECT
  public:
    explicit Skin(QObject* parent = nullptr);
    ~Skin() override;

    // Loads a skin description (see LoadSkin in skin_document.h for the codes, the relative
    // path rule and the Unicode test). On kSkinLoaded the skin is taken and changed() is
    // emitted, so every SkinnedWindow of this skin rebuilds itself and repaints; on any
    // other code the current skin stays as it was. Shows nothing: for kSkinIsUnicode the
    // caller shows result.message.
    SkinLoadResult Load(const QString& path, bool testUnicode, const QString& baseFolder = {});

    bool isLoaded() const { return document_ != nullptr; }
    // The current description; an empty document before a successful Load.
    const SkinDocument& document() const;
    // Absolute folder of the description, ending in "/"; empty before a successful Load.
    QString folder() const { return folder_; }
    QString descriptionPath() const { return descriptionPath_; }
    QString resourcePath() const { return resourcePath_; }

    // Absolute path of a file named relative to the skin folder ("\" counts as "/").
    QString FilePath(const std::string& relativeFile) const;

    // An image of the skin folder, cached: LoadImageFile at the application's device pixel
    // ratio. A null pixmap when the name is empty or the file is missing or unreadable.
    QPixmap Image(const std::string& relativeFile) const;

    // The image at `path`; on a high-density screen (`devicePixelRatio` above 1), when
    // "<name>@2x.<ext>" of twice the size lies beside it, that one with a device pixel ratio
    // of 2 (same logical size, crisp). Images beyond 64 megapixels are refused (null).
    static QPixmap LoadImageFile(const QString& path, qreal devicePixelRatio);

    // Drops cached images (Load does this too).
    void ClearImageCache();

    // The palette of a window's controls: SkinPalette of the current document.
    QPalette Palette(int windowNumber, const QPalette& base = QPalette()) const;

  signals:
    // A new skin was taken: windows rebuild from it.
    void changed();

  private:
    std::shared_ptr<const SkinDocument> document_;
    QString folder_;
    QString descriptionPath_;
    QString resourcePath_;
    struct Cache;
    std::unique_ptr<Cache> cache_;
};

// Conversions from the skin's values to Qt's.
QColor ToQColor(SkinColor color);
// Face name, pixel size (from the height: -height for negative, height for positive,
// the application font's size for 0), weight (0 keeps the default), italic, underline,
// strike-out. `base` supplies what the record leaves open.
QFont ToQFont(const SkinFont& font, const QFont& base = QFont());

// The palette that a window section's optional colour keys give ("ColorText", "ColorBase",
// "ColorAltBase", "ColorHighlight", "ColorHighlightText", "ColorPopup", "ColorPlaceholder",
// each a skin colour integer), on top of `base`; keys that are missing keep `base`'s
// colours. The frame colours (light, mid, dark, shadow) and the disabled texts follow from
// them. Dialogs that are not skinned (progress window, options, message boxes) match the
// skin when the application uses the main window's palette:
//     QApplication::setStyle("Fusion");
//     QApplication::setPalette(skin.Palette(kMainWindowNumber));
QPalette SkinPalette(const SkinDocument& document, int windowNumber,
                     const QPalette& base = QPalette());

// Splits a horizontal strip of square images (e.g. "CDRip_Lst16.bmp", 16 x 16 each) into
// its images, with the pixels of `maskColor` made transparent. An unreadable file gives an
// empty list. `path` is absolute or relative to the current folder. When "<name>@2x.<ext>"
// lies beside it with as many images of twice the size, those are returned instead, with
// a device pixel ratio of 2 (same logical size).
QList<QPixmap> LoadImageStrip(const QString& path, int imageSize, QColor maskColor);

}  // namespace quelt
