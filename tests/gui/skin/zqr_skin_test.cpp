// The shipped zqr skin: every control the program binds exists with the right kind, the
// layout is sound, every image it names is there at 1x and 2x, and repainting the images
// from the description gives the committed ones.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTreeWidget>
#include <set>
#include <sstream>

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

// The kind of widget the program expects: b button, c check box (a checkable button),
// s slider, l label, o drop-down list, e one-line edit, t list.
bool IsKind(QWidget* w, char kind) {
    auto* button = qobject_cast<QAbstractButton*>(w);
    auto* combo = qobject_cast<QComboBox*>(w);
    switch (kind) {
        case 'b':
            return button && !button->isCheckable();
        case 'c':
            return button && button->isCheckable();
        case 's':
            return qobject_cast<QSlider*>(w) != nullptr;
        case 'l':
            return qobject_cast<QLabel*>(w) != nullptr;
        case 'o':
            return combo && !combo->isEditable();
        case 'e':
            return qobject_cast<QLineEdit*>(w) != nullptr;
        default:
            return qobject_cast<QTreeWidget*>(w) != nullptr;
    }
}

// Each window with the controls the program binds, as "number kind" words.
struct WindowCase {
    const char* name;
    int number;
    QSize size;
    const char* controls;
};

const std::vector<WindowCase>& Windows() {
    static const std::vector<WindowCase> cases = {
        {"main",
         kMainWindowNumber,
         {600, 372},
         "1001c 1002c 1003c 1004b 1005b 1006b 1007b 1008b 1009b 1010c 1011b "
         "1012s 1013l 1014b 1015b 1016b 1017b 1018o 1020s"},
        {"ripper",
         kRipPageNumber,
         {kPageWidth, kPageHeight},
         "1042t 1043o 1044c 1045c 1047l 1048e 1049o 1050o 1051e 1052e 1053o "
         "1054e 1055e 1056e 1066b 1067b"},
        {"converter",
         kConvertPageNumber,
         {kPageWidth, kPageHeight},
         "1103t 1104l 1105b 1106b 1107b 1108b 1114o 1115e 1116e 1117e 1119e "
         "1122e 1123e 1125o 1126o"},
        {"burner",
         kBurnPageNumber,
         {kPageWidth, kPageHeight},
         "1079t 1081o 1082l 1085l 1086l 1087b 1088b 1089b 1090b 1091b 1092b "
         "1093b 1094b 1095b 1098o 1101l"},
    };
    return cases;
}

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

class ZqrWindowTest : public ::testing::TestWithParam<WindowCase> {};

TEST_P(ZqrWindowTest, EveryBoundControlExistsWithItsKind) {
    const WindowCase& c = GetParam();
    SkinnedWindow w(ZqrSkin(), c.number);
    EXPECT_EQ(w.skinStatus(), SkinnedWindow::kSkinned);
    EXPECT_EQ(w.size(), c.size);
    std::istringstream words(c.controls);
    for (std::string word; words >> word;) {
        const int id = std::stoi(word);
        const char kind = word.back();
        QWidget* widget = w.controlWidget(id);
        ASSERT_NE(widget, nullptr) << c.name << " " << id;
        EXPECT_TRUE(IsKind(widget, kind)) << c.name << " " << id;
        EXPECT_FALSE(widget->isHidden()) << c.name << " " << id;
        EXPECT_TRUE(widget->isEnabled()) << c.name << " " << id;
    }
}

TEST_P(ZqrWindowTest, ControlsLieInsideTheWindowAndNeverOverlap) {
    const WindowCase& c = GetParam();
    auto window = ZqrSkin().document().Window(c.number);
    ASSERT_TRUE(window.has_value());
    const QRect bounds(QPoint(0, 0), c.size);
    std::vector<QRect> rects;
    for (const SkinControl& control : window->controls) {
        const QRect r(control.rect.left, control.rect.top, control.rect.width(),
                      control.rect.height());
        EXPECT_FALSE(r.isEmpty()) << control.section;
        EXPECT_TRUE(bounds.contains(r)) << control.section;
        for (const QRect& other : rects) EXPECT_FALSE(other.intersects(r)) << control.section;
        rects.push_back(r);
        EXPECT_NE(control.type, SkinControlType::Unknown) << control.section;
        if (control.raw.count("fontn")) {
            EXPECT_TRUE(control.text.fonts[kSkinNormal].has_value()) << control.section;
        }
    }
}

TEST_P(ZqrWindowTest, EveryNamedImageExistsAtOneAndTwoTimes) {
    const WindowCase& c = GetParam();
    auto window = ZqrSkin().document().Window(c.number);
    ASSERT_TRUE(window.has_value());
    std::set<std::string> names(window->backgrounds.begin(), window->backgrounds.end());
    for (const SkinControl& control : window->controls) {
        for (const auto& n : control.button.checkedImages) names.insert(n);
        for (const auto& n : control.slider.thumbImages) names.insert(n);
        for (const auto& n : control.list.headerImages) names.insert(n);
        names.insert(control.list.headerSeparatorImage);
        names.insert(control.progress.thumb);
    }
    names.erase("");
    for (const std::string& name : names) {
        const QImage normal(kSkinFolder + QString::fromStdString(name));
        ASSERT_FALSE(normal.isNull()) << name;
        QString doubled = QString::fromStdString(name);
        doubled.insert(doubled.lastIndexOf('.'), "@2x");
        const QImage hi(kSkinFolder + doubled);
        ASSERT_FALSE(hi.isNull()) << name;
        EXPECT_EQ(hi.size(), normal.size() * 2) << name;
    }
    for (int s = 0; s < 4; ++s)
        EXPECT_EQ(QImage(kSkinFolder + QString::fromStdString(window->backgrounds[s])).size(),
                  c.size);
}

INSTANTIATE_TEST_SUITE_P(Windows, ZqrWindowTest, ::testing::ValuesIn(Windows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ZqrSkinTest, ModeMenuButtonLiesInTheRightClickZone) {
    auto main = ZqrSkin().document().Window(kMainWindowNumber);
    ASSERT_TRUE(main.has_value());
    const SkinControl* menu = main->FindControl(1011);
    ASSERT_NE(menu, nullptr);
    EXPECT_GE(menu->rect.left, 70);
    EXPECT_LE(menu->rect.right, 92);
    EXPECT_GE(menu->rect.top, 30);
    EXPECT_LE(menu->rect.bottom, 57);
    // The page rectangle of the main window holds no control of its own.
    const QRect page(kPageLeft, kPageTop, kPageWidth, kPageHeight);
    for (const SkinControl& c : main->controls)
        EXPECT_FALSE(
            page.intersects(QRect(c.rect.left, c.rect.top, c.rect.width(), c.rect.height())))
            << c.section;
}

TEST(ZqrSkinTest, PageListsLieInTheirContextMenuArea) {
    for (auto [window, list] :
         {std::pair{kRipPageNumber, 1042}, std::pair{kConvertPageNumber, 1103},
          std::pair{kBurnPageNumber, 1079}}) {
        auto w = ZqrSkin().document().Window(window);
        ASSERT_TRUE(w.has_value());
        const SkinControl* c = w->FindControl(list);
        ASSERT_NE(c, nullptr);
        EXPECT_LE(c->rect.right, 408);
        EXPECT_GE(c->rect.top, 26);
    }
}

TEST(ZqrSkinTest, ListImagesLoadWithTheirMaskColour) {
    App();
    const QList<QPixmap> images =
        LoadImageStrip(kSkinFolder + "CDRip_Lst16.bmp", 16, QColor(0, 128, 128));
    ASSERT_GE(images.size(), 1);
    EXPECT_EQ(images[0].size() / images[0].devicePixelRatio(), QSize(16, 16));
    const QImage first = images[0].toImage();
    EXPECT_EQ(first.pixelColor(0, 0).alpha(), 0);  // the corner is mask colour
    EXPECT_EQ(first.pixelColor(first.width() / 2, first.height() / 2).alpha(), 255);
    EXPECT_EQ(QImage(kSkinFolder + "CDRip_Lst16.bmp").height(), 16);
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
