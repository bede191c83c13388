// A rip started from the main window's start button on the ripper page: the job runs under
// the progress window to its "Done" line, the files hold exactly the image's audio under
// the names the edited tags give, ripped rows are unchecked; a read retry during the rip
// shows every attempt but warns once; a media change during the rip waits for its end.
#include <QLabel>
#include <QLineEdit>
#include <QThread>
#include <QTreeWidget>
#include <QtTest>
#include <atomic>
#include <filesystem>
#include <memory>

#include "gui/app/drive_hand_over.h"
#include "gui_test_main.h"
#include "rip_page_fixture.h"

using namespace quelt;
using quelt::test::RipFixture;

namespace {

MainWindow::Parts RipParts(RipFixture& f, RipperPage** made) {
    MainWindow::Parts parts;
    parts.genres = f.genres.get();
    parts.ripPage = [&f, made](QWidget* parent) {
        auto* page =
            new RipperPage(f.skin, f.context, *f.grabber, *f.freedb, f.genres.get(), parent);
        page->SetJobSetup([](RipJobParameters& p) {
            p.startDelayMs = 0;
            p.closingSound = {};
        });
        *made = page;
        return page;
    };
    return parts;
}

bool WaitForLookup(RipperPage& page) {
    return QTest::qWaitFor([&] { return !page.disc().lookupPending(); }, 120000);
}

}  // namespace

class RipStartTest : public QObject {
    Q_OBJECT
  private slots:
    void startButtonRipsTheCheckedTracksToDone();
    void readRetryDuringTheRipWarnsOnce();
    void mediaChangeDuringTheRipWaitsForItsEnd();
    void ripsAfterTheBurnerHadTheDrives();
};

void RipStartTest::startButtonRipsTheCheckedTracksToDone() {
    RipFixture f;
    const std::vector<int> sectors{150, 113, 120};
    f.MakeGrabber(f.Image("rip", sectors));
    const std::string out = f.scratch.File("out/");
    f.context.settings.rip.outputDirectory = out;
    f.context.settings.rip.outputNameIndex = 1;              // <artist> - <title>
    f.context.profile.WriteInt("CDRIP", "FormatIndex", 10);  // .wav
    RipperPage* page = nullptr;
    MainWindow window(f.skin, f.context, RipParts(f, &page));
    QVERIFY(page);
    QVERIFY(WaitForLookup(*page));
    QTreeWidget* list = page->trackList();
    QCOMPARE(list->topLevelItemCount(), 3);
    page->formatBox()->setCurrentIndex(9);  // .flac, chosen on the page
    list->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    list->setCurrentItem(list->topLevelItem(0));
    page->tagEdit(1052)->setText("Edited Title");

    const test::JobSeen seen = test::PressStartAndWait(window);
    QCOMPARE(seen.title, QString(" Audio CD Ripping ..."));
    QVERIFY2(!seen.log.isEmpty(), "the progress window never showed the end of the job");
    QCOMPARE(seen.log.first(), QString("Initializing..."));
    QCOMPARE(seen.log.last(), QString("Done, 02 track(s) were successfully."));
    QVERIFY(!f.context.ripControl.busy.load());
    QCOMPARE(f.context.settings.ripExtension, std::string(".flac"));

    // Exactly the image's audio, named by the edited and the default tags.
    const std::string first = out + "Artist - Edited Title.flac";
    const std::string third = out + "Artist - Session1 Track3.flac";
    QVERIFY2(std::filesystem::exists(first), first.c_str());
    QVERIFY2(std::filesystem::exists(third), third.c_str());
    QVERIFY(!std::filesystem::exists(out + "Artist - Session1 Track2.flac"));
    QVERIFY(quelt::test::DecodePcm(first) == quelt::test::TestPcm(sectors[0], 1));
    QVERIFY(quelt::test::DecodePcm(third) == quelt::test::TestPcm(sectors[2], 3));

    // Ripped rows are unchecked, so a second start finds nothing to rip.
    for (int row = 0; row < 3; ++row)
        QCOMPARE(list->topLevelItem(row)->checkState(0), Qt::Unchecked);
    QCOMPARE(page->disc().CheckedCount(), 0);
    QTest::mouseClick(window.control<QAbstractButton>(1017), Qt::LeftButton);
    QCOMPARE(f.prompter.messages.size(), std::size_t(1));
    QCOMPARE(f.prompter.messages[0].text,
             std::string("Please select audio tracks which you want to rip!"));
}

void RipStartTest::readRetryDuringTheRipWarnsOnce() {
    RipFixture f;
    f.MakeGrabber(f.Image("retry", {300, 300}));
    f.context.settings.rip.outputDirectory = f.scratch.File("out/");
    f.context.profile.WriteInt("CDRIP", "FormatIndex", 10);  // .wav
    // The grabber reports retries from the rip worker, as a damaged disc makes it do.
    f.grabber->beforeRead = [&f](int round) {
        if (round < 3) f.grabber->listener()->OnReadRetry(round + 1, 1000 + round);
    };
    RipperPage* page = nullptr;
    MainWindow window(f.skin, f.context, RipParts(f, &page));
    QVERIFY(WaitForLookup(*page));

    const test::JobSeen seen = test::PressStartAndWait(window);
    QCOMPARE(seen.log.last(), QString("Done, 02 track(s) were successfully."));
    QTRY_COMPARE(f.prompter.messages.size(), std::size_t(1));
    QCOMPARE(f.prompter.messages[0].caption, std::string("Quelt CD Ripper Pro - Audio CD Ripper"));
    QCOMPARE(f.prompter.messages[0].text,
             std::string("Audio CD Ripper detects that this CD may be scratched. Please set "
                         "the options for grabbing old or scratched CDs."));
    QVERIFY(page->disc().retryWarningShown());
    QCOMPARE(page->statusText()->text(),
             QString("Attempt 3 of 10 attempts of reading the track sector 1002"));
}

void RipStartTest::mediaChangeDuringTheRipWaitsForItsEnd() {
    RipFixture f;
    f.MakeGrabber(f.Image("media", {300, 300, 300}));
    f.context.settings.rip.outputDirectory = f.scratch.File("out/");
    f.context.profile.WriteInt("CDRIP", "FormatIndex", 10);  // .wav
    int refreshesDuringRip = -1;
    RipperPage* page = nullptr;
    f.grabber->beforeRead = [&](int round) {
        // The media watcher reports a change while the second track is read; the page must
        // not refill the rows the worker is reading. A marker queued behind the event tells
        // the worker when the GUI thread has handled it.
        if (round != 12) return;
        auto handled = std::make_shared<std::atomic<bool>>(false);
        f.grabber->listener()->OnMediaChanged();
        QMetaObject::invokeMethod(
            page, [handled] { *handled = true; }, Qt::QueuedConnection);
        for (int i = 0; i < 60000 && !*handled; ++i) QThread::msleep(1);
        refreshesDuringRip = f.grabber->refreshes;
    };
    MainWindow window(f.skin, f.context, RipParts(f, &page));
    QVERIFY(WaitForLookup(*page));
    const int refreshesBefore = f.grabber->refreshes;

    const test::JobSeen seen = test::PressStartAndWait(window);
    QCOMPARE(seen.log.last(), QString("Done, 03 track(s) were successfully."));
    QCOMPARE(refreshesDuringRip, refreshesBefore);
    // After the job the change is handled: the disc is read again and the rows refilled.
    QVERIFY(WaitForLookup(*page));
    QCOMPARE(f.grabber->refreshes, refreshesBefore + 1);
    QCOMPARE(page->trackList()->topLevelItemCount(), 3);
    QCOMPARE(page->disc().CheckedCount(), 3);
}

void RipStartTest::ripsAfterTheBurnerHadTheDrives() {
    RipFixture f;
    f.MakeGrabber(f.Image("handover", {150, 150}));
    f.context.settings.rip.outputDirectory = f.scratch.File("out/");
    f.context.profile.WriteInt("CDRIP", "FormatIndex", 10);  // .wav
    GrabberDriveHandOver handOver(*f.grabber);
    RipperPage* page = nullptr;
    MainWindow::Parts parts = RipParts(f, &page);
    parts.driveHandOver = &handOver;
    MainWindow window(f.skin, f.context, std::move(parts));
    window.show();
    QVERIFY(WaitForLookup(*page));

    // The burner takes the drives (the grabber forgets its selection) and gives them back.
    window.SwitchMode(kModeBurn);
    window.SwitchMode(kModeRip);
    QVERIFY(WaitForLookup(*page));
    QCOMPARE(page->driveBox()->currentIndex(), 0);
    QCOMPARE(page->trackList()->topLevelItemCount(), 2);

    const test::JobSeen seen = test::PressStartAndWait(window);
    QCOMPARE(seen.log.last(), QString("Done, 02 track(s) were successfully."));
}

QUELT_GUI_TEST(RipStartTest)
#include "test_rip_start.moc"
