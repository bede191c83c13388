// A second start of the program while a copy runs: the real program, started as a second
// process, ends at once and hands its files to the running window (here this test's own
// window, holding the lock and listening as the program does), which comes to the front and
// routes them: audio files to the converter, or to the burner when it shows; disc images to
// the ripper.
#include <QFileInfo>
#include <QProcess>
#include <QtTest>
#include <memory>

#include "gui/app/instance_channel.h"
#include "gui/app/plain_page.h"
#include "gui/app/single_instance.h"
#include "gui/convert/converter_page.h"
#include "gui/skin/skin_windows.h"
#include "gui_fixture.h"
#include "gui_test_main.h"

using namespace quelt;

namespace {

// A ripper or burner page that keeps what the window hands it.
class RecordingPage : public PlainPage {
  public:
    using PlainPage::PlainPage;
    void AddDroppedFile(const QString& path) override { added << path; }
    void OpenDiscImage(const QString& path) override { images << path; }
    QStringList added, images;
};

// The running copy: the lock, the main window and the channel later starts reach it by.
struct RunningCopy : quelt::test::GuiFixture {
    RunningCopy() {
        MainWindow::Parts parts;
        parts.ripPage = [this](QWidget* parent) {
            return ripper = new RecordingPage(skin, kRipPageNumber, parent);
        };
        parts.burnPage = [this](QWidget* parent) {
            return burner = new RecordingPage(skin, kBurnPageNumber, parent);
        };
        window = std::make_unique<MainWindow>(skin, context, std::move(parts));
        QObject::connect(&server, &InstanceServer::handedOver, window.get(), &MainWindow::OpenFiles);
    }
    ConverterPage& Converter() { return *dynamic_cast<ConverterPage*>(window->page(kModeConvert)); }

    SingleInstanceLock lock;
    RecordingPage* ripper = nullptr;
    RecordingPage* burner = nullptr;
    std::unique_ptr<MainWindow> window;
    InstanceServer server;
};

// Starts the program from `folder` with `arguments` (paths relative to the folder).
void StartSecond(QProcess& second, const QString& folder, const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();  // the scratch home's
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    second.setWorkingDirectory(folder);
    second.setProcessChannelMode(QProcess::ForwardedChannels);
    second.start(QUELT_GUI_PATH, arguments);
}

}  // namespace

class SecondLaunchTest : public QObject {
    Q_OBJECT
  private slots:
    void secondStartHandsItsFilesToTheRunningWindow();
    void filesAreRoutedByKind();
};

void SecondLaunchTest::secondStartHandsItsFilesToTheRunningWindow() {
    RunningCopy copy;
    QVERIFY(copy.lock.Acquired());
    QVERIFY(copy.server.Listen());
    copy.window->show();
    copy.window->showMinimized();
    QCOMPARE(copy.window->mode(), int(kModeRip));
    const QString song = copy.Tone("first song.wav");
    QVERIFY(!song.isEmpty());

    // The event loop runs while the second copy waits for the answer.
    QProcess second;
    StartSecond(second, QFileInfo(song).path(), {"first song.wav"});
    QVERIFY(second.waitForStarted(60000));
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 180000);
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    // It left the settings alone (this process's scratch home is its home too).
    QVERIFY(!QFileInfo::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + "/quelt/zqrprocfg.cfg"));

    // The audio file went to the converter, named by its absolute path, and the window
    // came back from its minimised state.
    QCOMPARE(copy.window->mode(), int(kModeConvert));
    QCOMPARE(copy.Converter().items().size(), size_t(1));
    QCOMPARE(QString::fromStdString(copy.Converter().items()[0].path), song);
    QVERIFY(!copy.window->isMinimized());

    // Without files a later start only brings the window forward.
    QProcess third;
    StartSecond(third, QFileInfo(song).path(), {});
    QVERIFY(third.waitForStarted(60000));
    QTRY_VERIFY_WITH_TIMEOUT(third.state() == QProcess::NotRunning, 180000);
    QCOMPARE(third.exitCode(), 0);
    QCOMPARE(copy.Converter().items().size(), size_t(1));
}

void SecondLaunchTest::filesAreRoutedByKind() {
    RunningCopy copy;
    copy.window->show();
    const QString a = copy.Tone("a.flac"), b = copy.Tone("b.ogg");
    const QString image = QString::fromStdString(copy.scratch.File("disc.cue"));
    QVERIFY(!a.isEmpty() && !b.isEmpty());

    // The burner showing keeps the audio files; a disc image goes to the ripper.
    copy.window->SwitchMode(kModeBurn);
    copy.window->OpenFiles({a, b});
    QCOMPARE(copy.window->mode(), int(kModeBurn));
    QCOMPARE(copy.burner->added, (QStringList{a, b}));
    copy.window->OpenFiles({image});
    QCOMPARE(copy.window->mode(), int(kModeRip));
    QCOMPARE(copy.ripper->images, QStringList{image});
    QVERIFY(copy.ripper->added.isEmpty());

    // From the ripper, audio files switch to the converter.
    copy.window->OpenFiles({b});
    QCOMPARE(copy.window->mode(), int(kModeConvert));
    QCOMPARE(copy.Converter().items().size(), size_t(1));
}

QUELT_GUI_TEST(SecondLaunchTest)
#include "test_second_launch.moc"
