// The preview player in the main window, heard through SDL's disk driver (what was played
// lands in a file): a disc image track plays sample for sample (the decoding of files is
// the core's tests), a preview holds its page and ends by itself, Next stops at the last
// item, seeking, refusals, and the start button.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/playback/playback_library.h"
#include "gui/app/main_window.h"
#include "gui/convert/converter_page.h"
#include "gui/playback/preview_player.h"
#include "gui_test_main.h"
#include "rip_page_fixture.h"

using namespace quelt;
using namespace quelt::test;

namespace {

constexpr int kPlay = 1006, kStop = 1007, kNext = 1009, kPrevious = 1008, kSwitch = 1010,
              kStart = 1017, kPosition = 1020;
constexpr int kWait = 120000;  // a guard against hanging, never a measure

// A main window with the real converter page and a ripper page on an images-only grabber,
// whose previews play through its own library on SDL's disk driver.
struct PlayerFixture : RipFixture {
    explicit PlayerFixture(const char* driver = "disk") {
        qputenv("SDL_AUDIODRIVER", driver);
        qputenv("SDL_DISKAUDIOFILE", QByteArray::fromStdString(played));
        qputenv("SDL_DISKAUDIODELAY", "0");
        library = CreatePlaybackLibrary();
    }
    ~PlayerFixture() {
        window.reset();
        library.reset();
        qputenv("SDL_AUDIODRIVER", "dummy");
    }
    MainWindow& Window(const std::string& cue = "") {
        if (!window) {
            MakeGrabber(cue);
            MainWindow::Parts parts;
            parts.playback = library.get();
            parts.grabber = grabber.get();
            parts.ripPage = [this](QWidget* parent) {
                return new RipperPage(skin, context, *grabber, *freedb, genres.get(), parent);
            };
            window = std::make_unique<MainWindow>(skin, context, std::move(parts));
            auto* rip = static_cast<RipperPage*>(window->page(kModeRip));
            static_cast<void>(
                QTest::qWaitFor([rip] { return !rip->disc().lookupPending(); }, kWait));
        }
        return *window;
    }
    ConverterPage& Converter() { return *static_cast<ConverterPage*>(Window().page(kModeConvert)); }
    void Click(int id) { window->control<QAbstractButton>(id)->click(); }
    QString Line() { return window->statusLine()->text(); }
    bool WaitUntilStopped() {
        return QTest::qWaitFor([this] { return !context.previewPlaying; }, kWait);
    }
    // What the device played, once the library has closed it.
    std::vector<int16_t> Played() {
        window.reset();
        library.reset();
        return ReadRawPcm(played);
    }

    std::string played = scratch.File("played.raw");
    std::unique_ptr<PlaybackLibrary> library;
    std::unique_ptr<MainWindow> window;
};

}  // namespace

class PreviewPlayerTest : public QObject {
    Q_OBJECT
  private slots:
    void filePreviewHoldsThePageEndsByItselfAndSteps();
    void cdTrackPreviewPlaysTheRippedTrackBitForBit();
    void positionSliderSeeksAPausedPreview();
    void refusalsAndAMissingDeviceAreSaidOnce();
};

void PreviewPlayerTest::filePreviewHoldsThePageEndsByItselfAndSteps() {
    PlayerFixture f;
    const QString flac = f.Tone("tone.flac", 1.5), wav = f.Tone("first.wav", 2.0);
    QVERIFY(!flac.isEmpty() && !wav.isEmpty());
    MainWindow& w = f.Window();
    w.SwitchMode(kModeConvert);
    ConverterPage& page = f.Converter();
    page.AddFiles({wav, flac});
    page.SelectItem(1);
    bool jobStarted = false;
    page.SetJobSetup([&](ConversionJobParameters&) { jobStarted = true; });

    f.Click(kPlay);
    QVERIFY(f.context.previewPlaying && f.context.previewActive);
    QVERIFY(!page.fileList()->isEnabled());
    QVERIFY(!w.control<QWidget>(kStart)->isEnabled());
    // Whatever reaches the start button while the preview holds the page does nothing; a
    // job that did start would show its modal window, which this closes again.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    w.Start();
    QVERIFY(!jobStarted);

    QVERIFY(f.WaitUntilStopped());
    QCOMPARE(f.Line(), QStringLiteral("No.: 02, second: 00:00:00.000"));
    QVERIFY(!f.context.previewActive);
    QVERIFY(page.fileList()->isEnabled());
    QVERIFY(w.control<QWidget>(kStart)->isEnabled());

    // Next on the last item stops and moves nowhere; Previous moves up and plays on.
    f.Click(kPlay);
    QVERIFY(f.context.previewPlaying);
    f.Click(kNext);
    QVERIFY(!f.context.previewPlaying && !f.context.previewActive);
    QCOMPARE(page.currentItem(), 1);
    f.Click(kPlay);
    f.Click(kPrevious);
    QCOMPARE(page.currentItem(), 0);
    QVERIFY(f.context.previewPlaying);
    QVERIFY(f.WaitUntilStopped());
    QCOMPARE(f.Line(), QStringLiteral("No.: 01, second: 00:00:00.000"));
    QVERIFY(!f.Played().empty());
}

void PreviewPlayerTest::cdTrackPreviewPlaysTheRippedTrackBitForBit() {
    PlayerFixture f;
    const std::string cue = f.Image("disc", {300, 420});
    MainWindow& w = f.Window(cue);
    auto* rip = static_cast<RipperPage*>(w.page(kModeRip));
    QCOMPARE(rip->itemCount(), 2);
    rip->SelectItem(1);
    auto entry = [rip](const char* text) {
        for (QAction* action : rip->trackMenu()->actions())
            if (action->text() == QLatin1String(text)) return action;
        return static_cast<QAction*>(nullptr);
    };
    QAction* play = entry("Pla&y");
    QAction* stop = entry("St&op");
    // The menu opens over the list only (the keyboard's point lies outside it).
    const QPoint inList(100, 100), outside(500, 100);
    QVERIFY(!rip->OpenTrackMenu(&outside));
    QVERIFY(!rip->OpenTrackMenu(nullptr));
    QVERIFY(rip->OpenTrackMenu(&inList));
    rip->trackMenu()->hide();
    QVERIFY(play && play->isEnabled() && stop && !stop->isEnabled());
    play->trigger();
    QVERIFY(f.context.previewPlaying);
    QVERIFY(!rip->driveBox()->isEnabled());
    QVERIFY(f.WaitUntilStopped());  // the player's end event
    QCOMPARE(f.Line(), QStringLiteral("No.: 02, second: 00:00:00.000"));
    QVERIFY(rip->driveBox()->isEnabled());
    const std::vector<int16_t> played = f.Played();
    QVERIFY(PlayedExactly(played, TestPcm(420, 2)));
}

void PreviewPlayerTest::positionSliderSeeksAPausedPreview() {
    PlayerFixture f("dummy");  // plays in real time, so the preview is still on when it seeks
    const QString flac = f.Tone("long.flac", 20);
    QVERIFY(!flac.isEmpty());
    MainWindow& w = f.Window();
    w.SwitchMode(kModeConvert);
    ConverterPage& page = f.Converter();
    page.AddFiles({flac});
    page.SelectItem(0);
    f.Click(kPlay);
    QVERIFY(f.context.previewPlaying);
    f.Click(kSwitch);  // pause, so the position stays where the slider puts it
    w.control<QSlider>(kPosition)->setValue(500);
    QVERIFY2(QTest::qWaitFor([&] { return f.Line() == "No.: 01, second: 00:00:10"; }, kWait),
             qPrintable(f.Line()));
    QCOMPARE(w.control<QSlider>(kPosition)->value(), 500);
    f.Click(kStop);
    QVERIFY(f.WaitUntilStopped());
}

void PreviewPlayerTest::refusalsAndAMissingDeviceAreSaidOnce() {
    {
        PlayerFixture f;
        const QString au = f.Tone("tone.au");  // converts, but is no preview format
        QVERIFY(!au.isEmpty());
        f.Window().SwitchMode(kModeConvert);
        f.Converter().AddFiles({au});
        f.Click(kPlay);
        QCOMPARE(f.prompter.messages.size(), size_t(1));
        QCOMPARE(f.prompter.messages[0].text, std::string("Can not play this format, only support convert..."));
        QVERIFY(!f.context.previewPlaying && !f.context.previewActive);
        QVERIFY(f.Converter().fileList()->isEnabled());
    }
    PlayerFixture f("no-such-driver");
    const QString wav = f.Tone("tone.wav");
    QVERIFY(!wav.isEmpty());
    f.Window().SwitchMode(kModeConvert);
    f.Converter().AddFiles({wav});
    f.Click(kPlay);
    f.Click(kPlay);
    QCOMPARE(f.prompter.messages.size(), size_t(1));
    QVERIFY(QString::fromStdString(f.prompter.messages[0].text)
                .startsWith(QStringLiteral("Error on initial Audio Player...")));
    QVERIFY(!f.context.previewPlaying && f.Converter().fileList()->isEnabled());
}

QUELT_GUI_TEST(PreviewPlayerTest)
#include "test_preview_player.moc"
