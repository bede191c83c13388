// The main window: mode switching with its status line, the preview-stop rule and the
// drive hand-over, the mode menu and its right-click zone, drops by mode, the start
// button, the options sheet's "unopened tab stores nothing" rule, the help, about and
// close buttons, and dragging the window by its surface.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest>
#include <memory>

#include "core/rip/cd_grabber.h"
#include "gui/app/drive_hand_over.h"
#include "gui/app/help_manual.h"
#include "gui/common/mode_page.h"
#include "gui/convert/converter_page.h"
#include "gui/options/burner_options_page.h"
#include "gui/options/options_sheet.h"
#include "gui_fixture.h"
#include "gui_test_main.h"

using namespace quelt;

namespace {

// The real grabber's hand-over, counting the calls that reach it.
class CountingHandOver : public GrabberDriveHandOver {
  public:
    using GrabberDriveHandOver::GrabberDriveHandOver;
    void TakeDrives() override {
        ++takes;
        GrabberDriveHandOver::TakeDrives();
    }
    void ReleaseDrives() override {
        ++releases;
        GrabberDriveHandOver::ReleaseDrives();
    }
    int takes = 0;
    int releases = 0;
};

// One main window over the real skin, with a settings file in a scratch folder.
struct Fixture : test::GuiFixture {
    Fixture() {
        LoadSettings(context.settings, context.profile);  // as the program starts
        CdGrabberOptions options;
        options.listDevices = false;
        options.watchMedia = false;
        grabber = CreateCdGrabber(options);
        handOver = std::make_unique<CountingHandOver>(*grabber);
        MainWindow::Parts parts;
        parts.driveHandOver = handOver.get();
        window = std::make_unique<MainWindow>(skin, context, std::move(parts));
        window->SetPreviewStopper([this] {
            ++previewStops;
            context.previewPlaying = false;
            context.previewActive = false;
        });
    }
    ConverterPage& Converter() { return *dynamic_cast<ConverterPage*>(window->page(kModeConvert)); }

    std::unique_ptr<CdGrabber> grabber;
    std::unique_ptr<CountingHandOver> handOver;
    std::unique_ptr<MainWindow> window;
    int previewStops = 0;
};

bool Checked(MainWindow& w, int id) {
    auto* b = w.control<QAbstractButton>(id);
    return b && b->isChecked();
}

void Drop(MainWindow& w, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    QMimeData data;
    data.setUrls(urls);
    QDropEvent drop(QPointF(300, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Qt delivers a drop only to a widget that accepted the drag's entry first.
    QDragEnterEvent enter(QPoint(300, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QApplication::sendEvent(&w, &drop);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void switchingModesShowsOnePageStopsThePreviewAndHandsTheDrivesOver();
    void dropsAreRoutedByModeAndTheStatusLineFollows();
    void startButtonWaitsForThePreview();
    void optionsOkStoresOnlyOpenedTabs();
    void helpAboutAndCloseButtons();
    void dragsByItsSurface();
};

// Every way of switching (the mode buttons, the mode menu, opened by a right click in its
// zone only) shows one page and checks its button; a preview is stopped, and the drives
// handed over, only when the mode really changes.
void MainWindowTest::switchingModesShowsOnePageStopsThePreviewAndHandsTheDrivesOver() {
    Fixture f;
    MainWindow& w = *f.window;
    QVERIFY(w.isSkinned());
    QCOMPARE(w.windowTitle(), QString("Quelt CD Ripper Pro"));
    QCOMPARE(w.mode(), 100);
    QCOMPARE(w.statusLine()->text(), QString("No.: 00, second: 00:00:00.000"));
    QCOMPARE(f.handOver->takes + f.handOver->releases, 0);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    f.context.previewPlaying = f.context.previewActive = true;
    w.SwitchMode(100);  // already the ripper: the preview goes on
    QCOMPARE(f.previewStops, 0);
    const QList<QAction*> actions = w.modeMenu()->actions();
    QCOMPARE(actions.size(), 3);
    QCOMPARE(actions[2]->text(), QString("Audio CD &Burner"));
    actions[2]->trigger();
    QCOMPARE(f.previewStops, 1);
    QCOMPARE(f.handOver->releases, 1);
    QCOMPARE(f.context.driveFlag, 0);
    w.resize(w.size() + QSize(1, 1));  // a size notification re-runs the switch
    QCOMPARE(f.handOver->releases, 1);
    QTest::mouseClick(w.control<QAbstractButton>(1002), Qt::LeftButton);
    QCOMPARE(f.handOver->takes, 0);
    QCOMPARE(f.previewStops, 1);  // nothing plays any more: nothing to stop
    actions[0]->trigger();
    QCOMPARE(f.handOver->takes, 1);
    QCOMPARE(f.context.driveFlag, 1);
    for (int mode : {200, 300, 100}) {
        w.SwitchMode(mode);
        QCOMPARE(w.mode(), mode);
        for (int other : {100, 200, 300}) {
            QCOMPARE(w.page(other)->widget()->isVisible(), other == mode);
            QCOMPARE(Checked(w, 1001 + (other / 100 - 1)), other == mode);
        }
        QCOMPARE(w.page(mode)->widget()->geometry(), QRect(6, 62, 587, 212));
    }
    // An unknown mode hides the pages and changes nothing else.
    w.SwitchMode(400);
    QCOMPARE(w.mode(), 100);
    QVERIFY(!w.page(100)->widget()->isVisible());

    QContextMenuEvent outside(QContextMenuEvent::Mouse, QPoint(100, 40),
                              w.mapToGlobal(QPoint(100, 40)));
    QApplication::sendEvent(&w, &outside);
    QVERIFY(!w.modeMenu()->isVisible());
    QContextMenuEvent inside(QContextMenuEvent::Mouse, QPoint(80, 40),
                             w.mapToGlobal(QPoint(80, 40)));
    QApplication::sendEvent(&w, &inside);
    QTRY_VERIFY(w.modeMenu()->isVisible());
    w.modeMenu()->hide();
    w.priorityBox()->setCurrentIndex(2);
    QCOMPARE(f.context.settings.priority, Priority::kHigh);
}

void MainWindowTest::dropsAreRoutedByModeAndTheStatusLineFollows() {
    Fixture f;
    MainWindow& w = *f.window;
    const QString a = f.Tone("a.wav"), b = f.Tone("b.ogg"), c = f.Tone("c.flac");
    QVERIFY(!a.isEmpty() && !b.isEmpty() && !c.isEmpty());
    Drop(w, {c, a, b});  // ripper mode: ignored
    QCOMPARE(f.Converter().items().size(), size_t(0));
    w.SwitchMode(200);
    Drop(w, {c, a, b});
    QCOMPARE(f.Converter().fileList()->topLevelItemCount(), 3);
    QCOMPARE(f.Converter().fileList()->topLevelItem(0)->text(1), c);
    QCOMPARE(f.Converter().fileList()->topLevelItem(2)->text(1), b);
    QCOMPARE(w.statusLine()->text(), QString("No.: 03, second: 00:00:00.000"));
    w.SwitchMode(300);
    QCOMPARE(w.statusLine()->text(), QString("No.: 00, second: 00:00:00.000"));
    Drop(w, {a});  // the burner's compilation, never the converter's list
    QCOMPARE(f.Converter().items().size(), size_t(3));
    w.SwitchMode(200);
    QCOMPARE(w.statusLine()->text(), QString("No.: 03, second: 00:00:00.000"));
}

void MainWindowTest::startButtonWaitsForThePreview() {
    Fixture f;
    MainWindow& w = *f.window;
    w.SwitchMode(200);
    f.context.previewPlaying = f.context.previewActive = true;
    w.Start();
    QVERIFY(f.prompter.messages.empty());
    f.context.previewPlaying = f.context.previewActive = false;
    w.Start();  // an empty converter list: only the message, no job
    QCOMPARE(f.prompter.messages.size(), size_t(1));
    QVERIFY(!f.context.convertControl.busy.load());
}

void MainWindowTest::optionsOkStoresOnlyOpenedTabs() {
    Fixture f;
    f.context.settings.convert.ifExists = IfExists::kSkip;
    f.context.settings.convert.outputDirectory = "";
    f.context.settings.burn.volumeLabel = "Old label";
    QStringList labels;
    f.window->SetOptionsHook([&](OptionsSheet& sheet) {
        QTimer::singleShot(0, &sheet, [&] {
            for (int i = 0; i < sheet.tabs()->count(); ++i) labels << sheet.tabs()->tabText(i);
            sheet.tabs()->setCurrentIndex(3);
            auto* burner = static_cast<BurnerOptionsPage*>(sheet.page(3));
            QCOMPARE(burner->labelEdit()->text(), QString("Old label"));
            burner->labelEdit()->setText("New label");
            burner->finalizeBox()->setChecked(true);
            QVERIFY(!sheet.Opened(2));
            sheet.accept();
        });
    });
    f.window->OpenOptions();
    QCOMPARE(labels, (QStringList{"CD Ripper", "FREEDB", "File Converter", "CD Burner"}));
    QCOMPARE(f.context.settings.burn.volumeLabel, std::string("New label"));
    QCOMPARE(f.context.settings.burn.finalize, 1);
    // The converter tab was never opened: not even its folder default was filled in.
    QCOMPARE(f.context.settings.convert.ifExists, IfExists::kSkip);
    QCOMPARE(f.context.settings.convert.outputDirectory, std::string());
}

void MainWindowTest::helpAboutAndCloseButtons() {
    Fixture f;
    MainWindow& w = *f.window;
    w.show();
    // A desktop without a browser: the press is answered with a message, not with nothing.
    int helpOpened = 0;
    w.SetHelpOpener([&] { return ++helpOpened == 1; });
    QTest::mouseClick(w.control<QAbstractButton>(1016), Qt::LeftButton);
    QVERIFY(f.prompter.messages.empty());
    QTest::mouseClick(w.control<QAbstractButton>(1016), Qt::LeftButton);
    QCOMPARE(helpOpened, 2);
    QCOMPARE(f.prompter.messages.size(), std::size_t(1));
    QCOMPARE(f.prompter.messages[0].caption, std::string("Quelt CD Ripper Pro - Audio CD Ripper"));
    QVERIFY(QString::fromStdString(f.prompter.messages[0].text).contains(quelt::HelpManualPath()));
    QVERIFY(QFileInfo(quelt::HelpManualPath()).isFile());

    QString aboutTitle;
    QTimer::singleShot(0, &w, [&] {
        if (QWidget* about = QApplication::activeModalWidget()) {
            aboutTitle = about->windowTitle();
            about->close();
        }
    });
    QTest::mouseClick(w.control<QAbstractButton>(1015), Qt::LeftButton);
    QCOMPARE(aboutTitle, QString(" About Quelt CD Ripper Pro"));

    f.context.previewPlaying = f.context.previewActive = true;
    QTest::mouseClick(w.control<QAbstractButton>(1005), Qt::LeftButton);
    QCOMPARE(f.previewStops, 1);
    QVERIFY(!w.isVisible());
}

void MainWindowTest::dragsByItsSurface() {
    Fixture f;
    MainWindow& w = *f.window;
    w.move(100, 100);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // A point of the surface outside every control.
    QPoint surface;
    for (int x = 300; x < w.width() && surface.isNull(); x += 7)
        if (!w.childAt(QPoint(x, 12))) surface = QPoint(x, 12);
    QVERIFY(!surface.isNull());
    const QPoint start = w.pos();
    QTest::mousePress(&w, Qt::LeftButton, Qt::NoModifier, surface);
    QMouseEvent move(QEvent::MouseMove, QPointF(surface + QPoint(40, 25)),
                     QPointF(w.mapToGlobal(surface + QPoint(40, 25))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
    QTest::mouseRelease(&w, Qt::LeftButton, Qt::NoModifier, surface + QPoint(40, 25));
    QTRY_COMPARE(w.pos(), start + QPoint(40, 25));
}

QUELT_GUI_TEST(MainWindowTest)
#include "test_main_window.moc"
