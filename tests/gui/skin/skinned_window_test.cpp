// Skinned windows on Qt widgets, offscreen: backgrounds and their fallbacks, controls made
// from their sections, state images cut from the backgrounds, masks, rebuilding, and
// malformed skins.
#include "gui/skin/skinned_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <random>
#include <sstream>

#include "support/fixtures.h"

namespace quelt {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "skinned_window_test";
    static char* argv[] = {name, nullptr};
    // Tests never need a display, whatever the environment says.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

const char* kHeader =
    "#define IDD_MAIN 1000\n#define IDC_BTN 1001\n#define IDC_CHECK 1002\n#define IDC_EDIT 1003\n"
    "#define IDC_LABEL 1004\n#define IDC_COMBO 1005\n#define IDC_LIST 1006\n"
    "#define IDC_SLIDER 1007\n#define IDC_PROGRESS 1008\n#define IDC_R1 1009\n"
    "#define IDC_R2 1010\n#define IDC_R3 1011\n";

// A skin folder with solid-colour images.
class SkinFolder {
  public:
    SkinFolder() { App(); }
    std::string path(const std::string& name) const { return dir_.File(name); }
    void Image(const std::string& name, QSize size, QColor color) const {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(QString::fromStdString(path(name))));
    }
    // The four backgrounds of a 200 x 100 window: red, green, blue, grey.
    void Backgrounds() const {
        Image("n.png", {200, 100}, Qt::red);
        Image("h.png", {200, 100}, Qt::green);
        Image("s.png", {200, 100}, Qt::blue);
        Image("d.png", {200, 100}, Qt::gray);
    }
    void Write(const std::string& ui) const {
        test::WriteFile(path("the.ui"), ui);
        test::WriteFile(path("Resource.h"), kHeader);
    }
    void Load(Skin& skin) const {
        ASSERT_EQ(skin.Load(QString::fromStdString(path("the.ui")), true).code, kSkinLoaded);
    }

  private:
    test::ScratchDir dir_;
};

const std::string kWindowKeys = "[IDD_MAIN]\nBKN=n.png\nBKH=h.png\nBKS=s.png\nBKD=d.png\n";

std::string Control(int n, const std::string& type, const std::string& rect, const std::string& ids,
                    const std::string& extra = "") {
    return "[IDD_MAIN_" + std::to_string(n) + "]\nType=" + type + "\nRect=" + rect +
           "\nIDs=" + ids + "\n" + extra;
}

QColor PixelOf(QWidget& w, QPoint at) { return w.grab().toImage().pixelColor(at); }

// The colour at the middle of a control as painted by itself.
QColor Middle(QWidget* w) {
    return w->grab().toImage().pixelColor(w->width() / 2, w->height() / 2);
}

// "BKNO" is painted when it loads, else "BKN"; each missing image has its status code.
TEST(SkinnedWindowTest, BackgroundsAndTheStatusCodesOfMissingImages) {
    SkinFolder f;
    f.Backgrounds();
    f.Image("o.png", {200, 100}, Qt::yellow);
    struct Case {
        std::string keys;
        int status;
        QColor painted;
    };
    const Case cases[] = {
        {"BKNO=gone.png\nBKN=n.png\nBKH=h.png\nBKS=s.png\nBKD=d.png\n", SkinnedWindow::kSkinned,
         Qt::red},
        {"BKNO=o.png\nBKN=n.png\nBKH=h.png\nBKS=s.png\nBKD=d.png\n", SkinnedWindow::kSkinned,
         Qt::yellow},
        {"BKNO=o.png\nBKN=gone.png\n", SkinnedWindow::kNoNormalImage, {}},
        {"BKN=gone.png\n", SkinnedWindow::kNoBackground, {}},
        {"BKN=n.png\nBKH=h.png\nBKD=d.png\n", SkinnedWindow::kNoHoverOrPressed, Qt::red},
        {"BKN=n.png\nBKH=h.png\nBKS=s.png\n", SkinnedWindow::kNoDisabledImage, Qt::red},
    };
    for (const Case& c : cases) {
        f.Write("[IDD_MAIN]\n" + c.keys);
        Skin skin;
        f.Load(skin);
        SkinnedWindow w(skin, 1000);
        EXPECT_EQ(w.skinStatus(), c.status) << c.keys;
        EXPECT_EQ(w.isSkinned(), c.status == 0 || c.status >= 3) << c.keys;
        if (c.painted.isValid()) {
            EXPECT_EQ(w.size(), QSize(200, 100));
            EXPECT_EQ(PixelOf(w, {50, 50}), c.painted) << c.keys;
        }
    }
    Skin skin;
    f.Load(skin);
    SkinnedWindow unknown(skin, 4321);
    EXPECT_EQ(unknown.skinStatus(), SkinnedWindow::kNoSection);
    EXPECT_TRUE(unknown.controlIds().isEmpty());
}

TEST(SkinnedWindowTest, HighDensityImagesOfTheRightSizeOnly) {
    SkinFolder f;
    f.Image("n.png", {200, 100}, Qt::red);
    f.Image("n@2x.png", {400, 200}, Qt::magenta);
    f.Image("h.png", {200, 100}, Qt::green);
    f.Image("h@2x.png", {123, 45}, Qt::magenta);  // wrong size: ignored
    const QPixmap doubled = Skin::LoadImageFile(QString::fromStdString(f.path("n.png")), 2.0);
    EXPECT_EQ(doubled.devicePixelRatio(), 2.0);
    EXPECT_EQ(doubled.toImage().pixelColor(0, 0), QColor(Qt::magenta));
    const QPixmap wrongSize = Skin::LoadImageFile(QString::fromStdString(f.path("h.png")), 2.0);
    EXPECT_EQ(wrongSize.devicePixelRatio(), 1.0);
    EXPECT_EQ(wrongSize.toImage().pixelColor(0, 0), QColor(Qt::green));
}

TEST(SkinnedWindowTest, MaskColourShapesTheWindowAndResizingStretchesAtThePoint) {
    SkinFolder f;
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 20; ++x) image.setPixelColor(x, y, QColor(1, 2, 3));
        for (int x = 61; x < 100; ++x) image.setPixelColor(x, y, Qt::blue);
    }
    ASSERT_TRUE(image.save(QString::fromStdString(f.path("n.png"))));
    f.Write(
        "[IDD_MAIN]\nBKN=n.png\nIsUseMaskColor=1\nRValue=1\nGValue=2\nBValue=3\n"
        "IsResizing=1\nResizingPtX=60\nResizingPtY=20\n");
    Skin skin;
    f.Load(skin);
    SkinnedWindow masked(skin, 1000, nullptr, SkinnedWindow::UseMask);
    EXPECT_FALSE(masked.mask().contains(QPoint(5, 5)));
    EXPECT_TRUE(masked.mask().contains(QPoint(50, 25)));
    SkinnedWindow w(skin, 1000);
    EXPECT_TRUE(w.mask().isEmpty());  // only windows made with the mask flag are shaped
    EXPECT_EQ(w.minimumSize(), QSize(100, 50));
    w.resize(300, 80);
    const QImage shot = w.grab().toImage();
    EXPECT_EQ(shot.pixelColor(150, 60), QColor(Qt::red));   // the stretched column
    EXPECT_EQ(shot.pixelColor(295, 75), QColor(Qt::blue));  // the right part keeps its size
    EXPECT_EQ(shot.pixelColor(300 - 39, 10), QColor(Qt::blue));
}

// Controls are real Qt widgets at their rectangles, with the keys that change them; an
// unknown type or a name missing from the header makes no widget.
TEST(SkinnedWindowTest, ControlsAreRealQtWidgetsAtTheirRectangles) {
    SkinFont bold;
    bold.height = -20;
    bold.weight = 700;
    bold.faceName = "Sans";
    SkinFolder f;
    f.Backgrounds();
    f.Write(kWindowKeys +
            Control(0, "pushbutton", "10,10,60,30", "IDC_BTN",
                    "Caption=Go\nIsVisible=0\nIsDisabled=1\n") +
            Control(1, "EDIT", "10,40,100,60", "IDC_EDIT", "IsMultiline=0\nIsPassword=1\n") +
            Control(2, "STATIC", "110,40", "IDC_LABEL",
                    "ColorN=255\nFontN=" + EncodeSkinFont(bold) + "\n") +
            Control(3, "COMBOBOX", "10,70,100,90", "IDC_COMBO") +
            Control(4, "GAUGE", "0,0,5,5", "IDC_CHECK") +
            Control(5, "LISTCTRL", "110,70,190,95", "IDC_LIST") +
            Control(6, "EDIT", "0,0,1,1", "IDC_UNDEFINED"));
    Skin skin;
    f.Load(skin);
    SkinnedWindow w(skin, 1000);
    w.show();
    auto* button = w.control<QAbstractButton>(1001);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->geometry(), QRect(10, 10, 50, 20));
    EXPECT_EQ(button->text(), "Go");
    EXPECT_FALSE(button->isVisible());
    EXPECT_FALSE(button->isEnabled());
    ASSERT_NE(w.control<QLineEdit>(1003), nullptr);
    EXPECT_EQ(w.control<QLineEdit>(1003)->echoMode(), QLineEdit::Password);
    EXPECT_EQ(w.control<QComboBox>(1003), nullptr);  // another kind
    auto* label = w.control<QLabel>(1004);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry(), QRect(110, 40, 0, 0));  // a half rectangle
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(label->font().pixelSize(), 20);
    EXPECT_EQ(label->font().weight(), QFont::Bold);
    EXPECT_NE(w.control<QComboBox>(1005), nullptr);
    EXPECT_NE(w.control<QTreeWidget>(1006), nullptr);
    EXPECT_EQ(w.controlIds(), (QList<int>{1001, 1003, 1004, 1005, 1006}));
    EXPECT_EQ(w.description().controls.size(), 7u);
}

TEST(SkinnedWindowTest, ButtonsCutTheirStateImagesFromTheBackgrounds) {
    SkinFolder f;
    f.Backgrounds();
    f.Image("cn.png", {200, 100}, Qt::yellow);
    f.Image("own.png", {30, 20}, Qt::cyan);
    f.Write(kWindowKeys + Control(0, "PUSHBUTTON", "10,10,60,30", "IDC_BTN") +
            Control(1, "CHECK", "10,40,60,60", "IDC_CHECK", "BKCN=cn.png\nBKCH=own.png\n"));
    Skin skin;
    f.Load(skin);
    SkinnedWindow w(skin, 1000);
    w.show();
    auto* button = static_cast<SkinButton*>(w.control<QAbstractButton>(1001));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(Middle(button), QColor(Qt::red));
    button->setDown(true);
    EXPECT_EQ(button->visualState(), kSkinPressed);
    EXPECT_EQ(Middle(button), QColor(Qt::blue));
    button->setDown(false);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(button, &enter);
    EXPECT_EQ(Middle(button), QColor(Qt::green));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    button->setEnabled(false);
    EXPECT_EQ(Middle(button), QColor(Qt::gray));

    auto* check = static_cast<SkinButton*>(w.control<QAbstractButton>(1002));
    ASSERT_NE(check, nullptr);
    check->setChecked(true);
    EXPECT_EQ(Middle(check), QColor(Qt::yellow));  // a whole-window image, cut at the Rect
    QApplication::sendEvent(check, &enter);
    EXPECT_EQ(Middle(check), QColor(Qt::cyan));  // the control's own picture
}

// Clicks report the control's number (a button without one clicks silently); radio
// buttons group by "IsGroup"; the slider jumps to the clicked point.
TEST(SkinnedWindowTest, ClicksRadioGroupsAndTheSlider) {
    SkinFolder f;
    f.Backgrounds();
    f.Write(kWindowKeys + Control(0, "CHECK", "10,40,60,60", "IDC_CHECK") +
            Control(1, "PUSHBUTTON", "70,10,90,30", "") +
            Control(2, "RADIO", "0,0,20,20", "IDC_R1") +
            Control(3, "RADIO", "20,0,40,20", "IDC_R2") +
            Control(4, "RADIO", "40,0,60,20", "IDC_R3", "IsGroup=1\n") +
            Control(5, "SLIDEREX", "0,70,114,84", "IDC_SLIDER"));
    Skin skin;
    f.Load(skin);
    SkinnedWindow w(skin, 1000);
    w.show();
    QSignalSpy spy(&w, &SkinnedWindow::controlClicked);
    QTest::mouseClick(w.control<QAbstractButton>(1002), Qt::LeftButton);
    for (SkinButton* b : w.findChildren<SkinButton*>())
        if (b->property("skinId").toInt() < 0) QTest::mouseClick(b, Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 1002);
    EXPECT_TRUE(w.control<QAbstractButton>(1002)->isChecked());

    auto* r1 = w.control<QAbstractButton>(1009);
    auto* r2 = w.control<QAbstractButton>(1010);
    auto* r3 = w.control<QAbstractButton>(1011);
    QTest::mouseClick(r1, Qt::LeftButton);
    QTest::mouseClick(r3, Qt::LeftButton);
    QTest::mouseClick(r2, Qt::LeftButton);
    QTest::mouseClick(r2, Qt::LeftButton);  // a click never unchecks a radio button
    EXPECT_FALSE(r1->isChecked());
    EXPECT_TRUE(r2->isChecked());
    EXPECT_TRUE(r3->isChecked());

    auto* slider = w.control<QSlider>(1007);
    slider->setRange(0, 1000);
    QSignalSpy released(slider, &QSlider::sliderReleased);
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(57, 7));
    EXPECT_NEAR(slider->value(), 500, 10);
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(113, 7));
    EXPECT_EQ(slider->value(), 1000);
    EXPECT_EQ(released.count(), 2);
}

// A window made before its skin builds when the skin arrives; a new skin moves the same
// widgets, keeping what the program set on them; a failed load keeps the current skin.
TEST(SkinnedWindowTest, ReskinKeepsWidgetsAndMovesThem) {
    SkinFolder f;
    f.Backgrounds();
    f.Write(kWindowKeys + Control(0, "PUSHBUTTON", "10,10,60,30", "IDC_BTN", "Caption=One\n") +
            Control(1, "STATIC", "0,0,10,10", "IDC_LABEL"));
    Skin skin;
    SkinnedWindow w(skin, 1000);
    EXPECT_EQ(w.skinStatus(), SkinnedWindow::kNoSection);
    f.Load(skin);
    EXPECT_EQ(w.skinStatus(), SkinnedWindow::kSkinned);
    QPointer<QAbstractButton> button = w.control<QAbstractButton>(1001);
    QPointer<QLabel> label = w.control<QLabel>(1004);
    ASSERT_FALSE(button.isNull());
    button->setText("Changed by the program");
    QSignalSpy rebuilt(&w, &SkinnedWindow::reskinned);

    f.Image("n2.png", {300, 120}, Qt::darkGreen);
    f.Write("[IDD_MAIN]\nBKN=n2.png\n" +
            Control(0, "PUSHBUTTON", "20,20,90,40", "IDC_BTN", "Caption=Two\n") +
            Control(1, "EDIT", "0,0,10,10", "IDC_LABEL", "IsMultiline=0\n"));
    f.Load(skin);  // emits changed(): the window rebuilds
    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_EQ(w.control<QAbstractButton>(1001), button.data());
    EXPECT_EQ(button->geometry(), QRect(20, 20, 70, 20));
    EXPECT_EQ(button->text(), "Changed by the program");
    EXPECT_EQ(PixelOf(w, {150, 100}), QColor(Qt::darkGreen));
    // The label became an edit: a new widget; the old one stays alive but hidden.
    ASSERT_NE(w.control<QLineEdit>(1004), nullptr);
    ASSERT_FALSE(label.isNull());
    EXPECT_TRUE(label->isHidden());

    EXPECT_EQ(skin.Load(QString::fromStdString(f.path("none.ui")), true).code, kSkinFileMissing);
    EXPECT_EQ(rebuilt.count(), 1);
    EXPECT_EQ(w.size(), QSize(300, 120));
}

TEST(SkinnedWindowTest, PaletteComesFromTheWindowSection) {
    SkinFolder f;
    f.Backgrounds();
    f.Write(kWindowKeys +
            "ColorText=255\nColorBase=65280\nColorHighlight=16711680\nColorPopup=1315860\n" +
            Control(0, "LISTCTRL", "0,0,100,50", "IDC_LIST"));
    Skin skin;
    f.Load(skin);
    const QPalette pal = skin.Palette(1000);
    EXPECT_EQ(pal.color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(pal.color(QPalette::Window), QColor(20, 20, 20));
    EXPECT_LT(pal.color(QPalette::Disabled, QPalette::Text).alpha(), 255);
    // Keys the section lacks keep the base palette's colours.
    QPalette base;
    base.setColor(QPalette::AlternateBase, QColor(1, 2, 3));
    EXPECT_EQ(skin.Palette(1000, base).color(QPalette::AlternateBase), QColor(1, 2, 3));
    SkinnedWindow w(skin, 1000);
    EXPECT_EQ(w.control<QTreeWidget>(1006)->palette().color(QPalette::Base), QColor(0, 255, 0));
}

TEST(SkinnedWindowTest, ImageStripCutsSquaresAndDropsTheMaskColour) {
    SkinFolder f;
    QImage strip(48, 16, QImage::Format_RGB32);
    strip.fill(QColor(0, 128, 128));
    strip.setPixelColor(20, 5, Qt::white);
    const QString path = QString::fromStdString(f.path("strip.bmp"));
    ASSERT_TRUE(strip.save(path));
    QList<QPixmap> images = LoadImageStrip(path, 16, QColor(0, 128, 128));
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images[1].toImage().pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(images[1].toImage().pixelColor(4, 5), QColor(Qt::white));
    EXPECT_TRUE(LoadImageStrip(path + "x", 16, Qt::black).isEmpty());
    QImage big(96, 32, QImage::Format_RGB32);
    big.fill(Qt::white);
    ASSERT_TRUE(big.save(QString::fromStdString(f.path("strip@2x.bmp"))));
    images = LoadImageStrip(path, 16, QColor(0, 128, 128));
    ASSERT_EQ(images.size(), 3);
    EXPECT_EQ(images[0].devicePixelRatio(), 2.0);
}

// Widgets built from mutated copies of the shipped description (the reader alone is
// fuzzed in skin_fuzz_test.cpp): nothing crashes or reads outside its buffers.
TEST(SkinnedWindowTest, MutatedShippedSkinsBuildWithoutCrashing) {
    App();
    const std::string folder = std::string(QUELT_SOURCE_DATA_DIR) + "/skins/zqr/";
    const std::string ui = test::ReadFile(folder + "the.ui");
    const std::string header = test::ReadFile(folder + "Resource.h");
    ASSERT_FALSE(ui.empty());
    test::ScratchDir dir;
    std::mt19937 rng(1000);
    for (int round = 0; round < 12; ++round) {
        std::string text = ui;
        for (int e = 0; e < 6; ++e) {
            const std::size_t at = rng() % (text.size() + 1);
            switch (rng() % 4) {
                case 0:
                    text.erase(at, rng() % 200);
                    break;
                case 1:
                    text.insert(at, "Rect=-5000,99999,3\nType=listctrl\n");
                    break;
                case 2:
                    if (at < text.size()) text[at] = char(rng() & 0xFF);
                    break;
                default:
                    text.insert(at, std::string(1 + rng() % 3000, char('0' + rng() % 10)));
                    break;
            }
        }
        // Image names become absolute so that the mutated copy finds the shipped images.
        std::string out;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            const auto eq = line.find('=');
            if (eq != std::string::npos && line.find(".png") != std::string::npos)
                line.insert(eq + 1, folder);
            out += line + "\n";
        }
        test::WriteFile(dir.File("the.ui"), out);
        test::WriteFile(dir.File("Resource.h"), header);
        Skin skin;
        if (skin.Load(QString::fromStdString(dir.File("the.ui")), false).code != kSkinLoaded)
            continue;
        for (int number : {1000, 2001, 2002, 2003}) {
            SkinnedWindow w(skin, number);
            w.grab();
        }
    }
}

}  // namespace
}  // namespace quelt
