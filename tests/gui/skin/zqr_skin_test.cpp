// The shipped zqr skin: every control the program binds exists with the right kind, the
// layout is sound, and repainting the images from the description gives the committed ones
// (so every image it names is there, at 1x and 2x).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>

#include "gui/skin/skin_windows.h"
#include "gui/skin/skinned_window.h"
#include "support/fixtures.h"

namespace quelt {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "zqr_skin_test";
    static char* argv[] = {name, nullptr};
    // Tests never need a display, whatever the environment says.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

const QString kSkinFolder = QStringLiteral(QUELT_SOURCE_DATA_DIR "/skins/zqr/");

Skin& ZqrSkin() {
    App();
    static Skin* skin = [] {
        auto* s = new Skin;
        const SkinLoadResult r =
            s->Load("skins/zqr/the.ui", true, QStringLiteral(QUELT_SOURCE_DATA_DIR));
        EXPECT_EQ(r.code, kSkinLoaded);
        return s;
    }();
    return *skin;
}

// The windows the program builds are whole (every background there, the page windows of
// the page rectangle's size), and their controls are of known types, inside the window,
// never overlapping. That each control the program binds is there with its kind is seen by
// the page and window tests, which all run on this skin.
TEST(ZqrSkinTest, WindowsAreWholeAndControlsLieInsideWithoutOverlapping) {
    for (int number : {kMainWindowNumber, kRipPageNumber, kConvertPageNumber, kBurnPageNumber}) {
        SkinnedWindow w(ZqrSkin(), number);
        EXPECT_EQ(w.skinStatus(), SkinnedWindow::kSkinned) << number;
        if (number != kMainWindowNumber) {
            EXPECT_EQ(w.size(), QSize(kPageWidth, kPageHeight)) << number;
        }
        const QRect bounds(QPoint(0, 0), w.size());
        std::vector<QRect> rects;
        for (const SkinControl& control : w.description().controls) {
            const QRect r(control.rect.left, control.rect.top, control.rect.width(),
                          control.rect.height());
            EXPECT_FALSE(r.isEmpty()) << control.section;
            EXPECT_TRUE(bounds.contains(r)) << control.section;
            for (const QRect& other : rects) EXPECT_FALSE(other.intersects(r)) << control.section;
            rects.push_back(r);
            EXPECT_NE(control.type, SkinControlType::Unknown) << control.section;
            if (control.id >= 0) {
                EXPECT_NE(w.controlWidget(control.id), nullptr) << control.section;
            }
            if (control.raw.count("fontn")) {
                EXPECT_TRUE(control.text.fonts[kSkinNormal].has_value()) << control.section;
            }
        }
    }
}

// Differences a different rasteriser build might make are tolerated; a moved or missing
// shape is not.
double DifferingShare(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_ARGB32),
                 y = b.convertToFormat(QImage::Format_ARGB32);
    qint64 differing = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
            if (std::abs(qRed(p) - qRed(q)) > 24 || std::abs(qGreen(p) - qGreen(q)) > 24 ||
                std::abs(qBlue(p) - qBlue(q)) > 24 || std::abs(qAlpha(p) - qAlpha(q)) > 24)
                ++differing;
        }
    return double(differing) / std::max<qint64>(1, qint64(x.width()) * x.height());
}

TEST(ZqrSkinTest, RepaintingFromTheDescriptionGivesTheCommittedImages) {
    App();
    test::ScratchDir out;
    ASSERT_EQ(test::Run(test::ShellQuote(QUELT_PAINT_SKIN) + " " +
                        test::ShellQuote(kSkinFolder.toStdString()) + " " +
                        test::ShellQuote(out.path().string()) + " > /dev/null"),
              0);
    const QStringList painted =
        QDir(QString::fromStdString(out.path().string())).entryList(QDir::Files);
    const QStringList committed = QDir(kSkinFolder).entryList({"*.png", "*.bmp"}, QDir::Files);
    EXPECT_EQ(painted, committed)
        << "images that the description no longer names, or not yet painted";
    for (const QString& name : painted) {
        const QImage fresh(QString::fromStdString(out.path().string()) + "/" + name);
        const QImage kept(kSkinFolder + name);
        ASSERT_EQ(fresh.size(), kept.size()) << name.toStdString();
        EXPECT_LT(DifferingShare(fresh, kept), 0.002) << name.toStdString();
    }
}

}  // namespace
}  // namespace quelt
