#include "gui/skin/skin.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <optional>

#include "gui/skin/skin_text.h"

namespace quelt {

struct Skin::Cache {
    QHash<QString, QPixmap> images;
};

Skin::Skin(QObject* parent) : QObject(parent), cache_(std::make_unique<Cache>()) {}

Skin::~Skin() = default;

SkinLoadResult Skin::Load(const QString& path, bool testUnicode, const QString& baseFolder) {
    SkinLoadResult result = LoadSkin(path.toStdString(), testUnicode, baseFolder.toStdString());
    if (result.code != kSkinLoaded) return result;
    document_ = result.document;
    folder_ = QString::fromStdString(result.folder);
    descriptionPath_ = QString::fromStdString(result.descriptionPath);
    resourcePath_ = QString::fromStdString(result.resourcePath);
    ClearImageCache();
    emit changed();
    return result;
}

const SkinDocument& Skin::document() const {
    static const SkinDocument empty;
    return document_ ? *document_ : empty;
}

QString Skin::FilePath(const std::string& relativeFile) const {
    QString name = QString::fromStdString(relativeFile).trimmed();
    name.replace('\\', '/');
    if (name.isEmpty()) return {};
    if (QFileInfo(name).isAbsolute()) return name;
    return folder_ + name;
}

void Skin::ClearImageCache() { cache_->images.clear(); }

namespace {

QPixmap ReadPixmap(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(false);
    // Far above any skin's needs; keeps a malformed or hostile image from asking for
    // gigabytes.
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > 64LL * 1024 * 1024) return {};
    QImage image = reader.read();
    if (image.isNull()) return {};
    return QPixmap::fromImage(std::move(image));
}

}  // namespace

QPixmap Skin::LoadImageFile(const QString& path, qreal devicePixelRatio) {
    QFileInfo info(path);
    if (!info.isFile()) return {};
    QPixmap normal = ReadPixmap(path);
    if (devicePixelRatio <= 1.0 || normal.isNull()) return normal;
    const QString suffix = info.suffix();
    const QString base = path.left(path.size() - (suffix.isEmpty() ? 0 : suffix.size() + 1));
    const QString hiRes = base + "@2x" + (suffix.isEmpty() ? QString() : "." + suffix);
    QPixmap doubled = QFileInfo(hiRes).isFile() ? ReadPixmap(hiRes) : QPixmap();
    if (doubled.isNull() || doubled.size() != normal.size() * 2) return normal;
    doubled.setDevicePixelRatio(2.0);
    return doubled;
}

QPixmap Skin::Image(const std::string& relativeFile) const {
    const QString path = FilePath(relativeFile);
    if (path.isEmpty()) return {};
    auto it = cache_->images.constFind(path);
    if (it != cache_->images.constEnd()) return *it;
    const qreal dpr = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    QPixmap pixmap = LoadImageFile(path, dpr);
    cache_->images.insert(path, pixmap);
    return pixmap;
}

QPalette Skin::Palette(int windowNumber, const QPalette& base) const {
    return SkinPalette(document(), windowNumber, base);
}

QPalette SkinPalette(const SkinDocument& document, int windowNumber, const QPalette& base) {
    QPalette pal = base;
    const std::string section = document.NameOfNumber(windowNumber);
    if (section.empty()) return pal;
    auto color = [&](const char* key) -> std::optional<QColor> {
        auto v = document.Value(section, key);
        if (!v) return std::nullopt;
        return ToQColor(SkinColor(skin_text::ParseInt(*v)) & 0xFFFFFFu);
    };
    auto set = [&](QPalette::ColorRole role, const QColor& c, int disabledAlpha = 255) {
        pal.setColor(QPalette::All, role, c);
        QColor d = c;
        d.setAlpha(disabledAlpha);
        pal.setColor(QPalette::Disabled, role, d);
    };
    if (auto text = color("ColorText")) {
        for (auto role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
            set(role, *text, 110);
    }
    if (auto c = color("ColorBase")) set(QPalette::Base, *c);
    if (auto c = color("ColorAltBase")) set(QPalette::AlternateBase, *c);
    if (auto c = color("ColorHighlight")) {
        set(QPalette::Highlight, *c, 90);
        set(QPalette::Link, *c);
    }
    if (auto c = color("ColorHighlightText")) {
        set(QPalette::HighlightedText, *c);
        set(QPalette::BrightText, *c);
    }
    if (auto c = color("ColorPlaceholder")) set(QPalette::PlaceholderText, *c);
    if (auto popup = color("ColorPopup")) {
        set(QPalette::Window, *popup);
        set(QPalette::ToolTipBase, *popup);
        // Buttons and frames a step lighter than the window so that they read as raised.
        const bool dark = popup->lightness() < 128;
        const QColor button = dark ? popup->lighter(130) : popup->darker(106);
        set(QPalette::Button, button);
        set(QPalette::Light, dark ? button.lighter(150) : QColor(Qt::white));
        set(QPalette::Midlight, dark ? button.lighter(125) : button.lighter(110));
        set(QPalette::Mid, dark ? button.lighter(140) : button.darker(130));
        set(QPalette::Dark, dark ? popup->darker(160) : button.darker(160));
        set(QPalette::Shadow, dark ? QColor(0, 0, 0) : button.darker(220));
    }
    return pal;
}

QColor ToQColor(SkinColor color) {
    return QColor(SkinRed(color), SkinGreen(color), SkinBlue(color));
}

QFont ToQFont(const SkinFont& font, const QFont& base) {
    QFont f = base;
    if (!font.faceName.empty()) f.setFamilies({QString::fromStdString(font.faceName)});
    const int height = font.height < 0 ? -font.height : font.height;
    if (height > 0 && height < 1000) f.setPixelSize(height);
    if (font.weight > 0) f.setWeight(QFont::Weight(std::clamp<int>(font.weight, 1, 1000)));
    f.setItalic(font.italic != 0);
    f.setUnderline(font.underline != 0);
    f.setStrikeOut(font.strikeOut != 0);
    return f;
}

namespace {

QList<QPixmap> CutStrip(const QString& path, int imageSize, QColor maskColor) {
    QList<QPixmap> out;
    if (imageSize <= 0) return out;
    QImage image = ReadPixmap(path).toImage();
    if (image.isNull()) return out;
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = maskColor.rgb() & 0xFFFFFF;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    for (int x = 0; x + imageSize <= image.width(); x += imageSize)
        out.append(
            QPixmap::fromImage(image.copy(x, 0, imageSize, std::min(imageSize, image.height()))));
    return out;
}

}  // namespace

QList<QPixmap> LoadImageStrip(const QString& path, int imageSize, QColor maskColor) {
    QList<QPixmap> normal = CutStrip(path, imageSize, maskColor);
    QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = path.left(path.size() - (suffix.isEmpty() ? 0 : suffix.size() + 1));
    const QString hiRes = base + "@2x" + (suffix.isEmpty() ? QString() : "." + suffix);
    if (normal.isEmpty() || !QFileInfo(hiRes).isFile()) return normal;
    QList<QPixmap> doubled = CutStrip(hiRes, imageSize * 2, maskColor);
    if (doubled.size() != normal.size()) return normal;
    for (QPixmap& p : doubled) p.setDevicePixelRatio(2.0);
    return doubled;
}

}  // namespace quelt
