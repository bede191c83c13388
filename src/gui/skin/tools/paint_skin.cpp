// quelt-paint-skin: paints every image of a skin from its description.
//
//     quelt-paint-skin SKIN_FOLDER [OUTPUT_FOLDER]
//
// Reads SKIN_FOLDER/the.ui and SKIN_FOLDER/Resource.h and writes, into OUTPUT_FOLDER (the
// skin folder when omitted), at 1x and at 2x ("name@2x.ext"):
//  - for every window: the backgrounds its "BKN", "BKH", "BKS", "BKD" keys name, each the
//    whole window with every control in that state, and the checked-state pictures that
//    its check boxes and radio buttons name in "BKCN".."BKCD";
//  - the thumbs of its sliders, the header pictures of its lists, its progress bars' bars;
//  - the list images "CDRip_Lst16.bmp".
// Controls and artwork come from the same rectangles, so they cannot drift apart. The
// output depends only on the description and this program: running it twice gives the
// same files.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <set>

#include "gui/skin/skin_document.h"
#include "gui/skin/tools/skin_art.h"

using namespace quelt;

namespace {

QString Doubled(const QString& path) {
    QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = path.left(path.size() - (suffix.isEmpty() ? 0 : suffix.size() + 1));
    return base + "@2x" + (suffix.isEmpty() ? QString() : "." + suffix);
}

bool Save(const QImage& image, const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!image.save(path)) {
        std::fprintf(stderr, "quelt-paint-skin: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Paints `paint` at 1x and 2x into `name` and its @2x sibling.
template <class Paint>
bool SaveBoth(const QString& folder, const std::string& name, QSizeF size, Paint paint,
              bool opaque = false) {
    if (name.empty() || size.isEmpty()) return true;
    bool ok = true;
    for (int scale : {1, 2}) {
        QImage image(qRound(size.width() * scale), qRound(size.height() * scale),
                     opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(scale, scale);
            paint(p);
        }
        const QString path = folder + QString::fromStdString(name);
        ok = Save(image, scale == 1 ? path : Doubled(path)) && ok;
    }
    return ok;
}

bool IsCheckable(const SkinControl& c) {
    return c.type == SkinControlType::Check || c.type == SkinControlType::Radio;
}

bool PaintWindow(const SkinDocument& doc, const SkinWindow& w, const QString& out) {
    const SkinRect sizeRect = ParseSkinRect(doc.Text("ART_" + w.section, "Size"));
    const QSizeF size(sizeRect.left, sizeRect.top);
    if (size.isEmpty()) {
        std::fprintf(stderr, "quelt-paint-skin: [ART_%s] has no Size\n", w.section.c_str());
        return false;
    }
    bool ok = true;
    auto paintState = [&](SkinState state, bool checked) {
        return [&, state, checked](QPainter& p) {
            art::PaintWindowBase(p, doc, w, size.toSize());
            for (const SkinControl& c : w.controls)
                art::PaintControl(p, c, state, checked && IsCheckable(c));
        };
    };
    for (int s = 0; s < 4; ++s)
        ok = SaveBoth(out, w.backgrounds[s], size, paintState(SkinState(s), false), true) && ok;
    if (!w.bkno.empty() && w.bkno != w.backgrounds[0])
        ok = SaveBoth(out, w.bkno, size, paintState(kSkinNormal, false), true) && ok;

    std::set<std::string> written;
    for (const SkinControl& c : w.controls) {
        if (IsCheckable(c)) {
            for (int s = 0; s < 4; ++s) {
                const std::string& name = c.button.checkedImages[s];
                if (name.empty() || !written.insert(name).second) continue;
                ok = SaveBoth(out, name, size, paintState(SkinState(s), true), true) && ok;
            }
        }
        if (c.type == SkinControlType::SliderEx) {
            const qreal t = c.RawInt("ThumbSize", 14);
            for (int s = 0; s < 4; ++s) {
                const std::string& name = c.slider.thumbImages[s];
                if (name.empty() || !written.insert(name).second) continue;
                ok = SaveBoth(
                         out, name, QSizeF(t, t),
                         [s, t](QPainter& p) { art::PaintThumb(p, QSizeF(t, t), SkinState(s)); }) &&
                     ok;
            }
        }
        if (c.type == SkinControlType::ListCtrl) {
            for (int s = 0; s < 4; ++s) {
                const std::string& name = c.list.headerImages[s];
                if (name.empty() || !written.insert(name).second) continue;
                ok = SaveBoth(
                         out, name, QSizeF(8, 24),
                         [s](QPainter& p) { art::PaintHeader(p, QSizeF(8, 24), SkinState(s)); },
                         true) &&
                     ok;
            }
            const std::string& sep = c.list.headerSeparatorImage;
            if (!sep.empty() && written.insert(sep).second)
                ok = SaveBoth(out, sep, QSizeF(1, 24),
                              [](QPainter& p) { art::PaintHeaderSeparator(p, QSizeF(1, 24)); }) &&
                     ok;
        }
        if (c.type == SkinControlType::Progress && !c.progress.thumb.empty() &&
            written.insert(c.progress.thumb).second) {
            const QSizeF bar(std::max(1, c.rect.width()), std::max(1, c.rect.height()));
            ok = SaveBoth(out, c.progress.thumb, bar,
                          [bar](QPainter& p) { art::PaintProgressBar(p, bar); }) &&
                 ok;
        }
    }
    return ok;
}

std::optional<std::string> ReadFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quelt-paint-skin SKIN_FOLDER [OUTPUT_FOLDER]\n");
        return 2;
    }
    const QString skin = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + "/";
    const QString out = (argc > 2 ? QDir(QString::fromLocal8Bit(argv[2])).absolutePath()
                                  : QDir(skin).absolutePath()) +
                        "/";
    auto ui = ReadFile(skin + "the.ui");
    auto header = ReadFile(skin + "Resource.h");
    if (!ui || !header) {
        std::fprintf(stderr, "quelt-paint-skin: %s needs the.ui and Resource.h\n",
                     qPrintable(skin));
        return 2;
    }
    const SkinDocument doc = SkinDocument::Parse(*ui, *header);
    bool ok = true;
    int windows = 0;
    for (int number : doc.WindowNumbers()) {
        auto window = doc.Window(number);
        if (!window) continue;
        ok = PaintWindow(doc, *window, out) && ok;
        ++windows;
    }
    for (int scale : {1, 2}) {
        const QString path = out + "CDRip_Lst16.bmp";
        ok = Save(art::PaintListStrip(scale), scale == 1 ? path : Doubled(path)) && ok;
    }
    std::printf("painted %d windows into %s\n", windows, qPrintable(out));
    return ok ? 0 : 1;
}
