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

enum class Kind { Button, Check, Slider, Label, Combo, Edit, List };

bool IsKind(QWidget* w, Kind kind) {
    switch (kind) {
        case Kind::Button: {
            auto* b = qobject_cast<QAbstractButton*>(w);
            return b && !b->isCheckable();
        }
        case Kind::Check: {
            auto* b = qobject_cast<QAbstractButton*>(w);
            return b && b->isCheckable();
        }
        case Kind::Slider:
            return qobject_cast<QSlider*>(w) != nullptr;
        case Kind::Label:
            return qobject_cast<QLabel*>(w) != nullptr;
        case Kind::Combo: {
            auto* c = qobject_cast<QComboBox*>(w);
            return c && !c->isEditable();
        }
        case Kind::Edit:
            return qobject_cast<QLineEdit*>(w) != nullptr;
        case Kind::List:
            return qobject_cast<QTreeWidget*>(w) != nullptr;
    }
    return false;
}

struct WindowCase {
    const char* name;
    int number;
    QSize size;
    std::vector<std::pair<int, Kind>> controls;
};

const std::vector<WindowCase>& Windows() {
    static const std::vector<WindowCase> cases = {
        {"main",
         kMainWindowNumber,
         {600, 372},
         {{1001, Kind::Check},
          {1002, Kind::Check},
          {1003, Kind::Check},
          {1004, Kind::Button},
          {1005, Kind::Button},
          {1006, Kind::Button},
          {1007, Kind::Button},
          {1008, Kind::Button},
          {1009, Kind::Button},
          {1010, Kind::Check},
          {1011, Kind::Button},
          {1012, Kind::Slider},
          {1013, Kind::Label},
          {1014, Kind::Button},
          {1015, Kind::Button},
          {1016, Kind::Button},
          {1017, Kind::Button},
          {1018, Kind::Combo},
          {1020, Kind::Slider}}},
        {"ripper",
         kRipPageNumber,
         {kPageWidth, kPageHeight},
         {{1042, Kind::List},
          {1043, Kind::Combo},
          {1044, Kind::Check},
          {1045, Kind::Check},
          {1047, Kind::Label},
          {1048, Kind::Edit},
          {1049, Kind::Combo},
          {1050, Kind::Combo},
          {1051, Kind::Edit},
          {1052, Kind::Edit},
          {1053, Kind::Combo},
          {1054, Kind::Edit},
          {1055, Kind::Edit},
          {1056, Kind::Edit},
          {1066, Kind::Button},
          {1067, Kind::Button}}},
        {"converter",
         kConvertPageNumber,
         {kPageWidth, kPageHeight},
         {{1103, Kind::List},
          {1104, Kind::Label},
          {1105, Kind::Button},
          {1106, Kind::Button},
          {1107, Kind::Button},
          {1108, Kind::Button},
          {1114, Kind::Combo},
          {1115, Kind::Edit},
          {1116, Kind::Edit},
          {1117, Kind::Edit},
          {1119, Kind::Edit},
          {1122, Kind::Edit},
          {1123, Kind::Edit},
          {1125, Kind::Combo},
          {1126, Kind::Combo}}},
        {"burner",
         kBurnPageNumber,
         {kPageWidth, kPageHeight},
         {{1079, Kind::List},
          {1081, Kind::Combo},
          {1082, Kind::Label},
          {1085, Kind::Label},
          {1086, Kind::Label},
          {1087, Kind::Button},
          {1088, Kind::Button},
          {1089, Kind::Button},
          {1090, Kind::Button},
          {1091, Kind::Button},
          {1092, Kind::Button},
          {1093, Kind::Button},
          {1094, Kind::Button},
          {1095, Kind::Button},
          {1098, Kind::Combo},
          {1101, Kind::Label}}},
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
    for (const auto& [id, kind] : c.controls) {
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
