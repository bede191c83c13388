// The ripper page: the demo disc on first start, the rows and the look-up's outcome in the
// status, the list commands and tag fields reaching the Disc model, FreeDB against the
// loopback CDDB server and its box's questions, a MusicBrainz release chosen among several,
// the controls held while a look-up runs, a machine without drives, and disc images listed
// as drives. The track menu's zone and its Play are the preview player's tests.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QtTest>
#include <fstream>

#include "core/naming/text.h"
#include "core/rip/disc_id.h"
#include "gui_test_main.h"
#include "rip_page_fixture.h"
#include "support/http_server.h"
#include "support/musicbrainz_site.h"

using namespace quelt;
using quelt::test::RipFixture;

namespace {

constexpr int kArtist = 1048, kAlbum = 1051, kTitle = 1052, kYear = 1056;

}  // namespace

class RipperPageTest : public QObject {
    Q_OBJECT
  private slots:
    void demoDiscIsListedAndShownOnFirstStart();
    void failedLookUpStaysReadableAndTheListReachesTheModel();
    void freedbFillsTheRowsAndItsBoxAsksBeforeRefreshing();
    void musicBrainzReleaseChosenByTheUserNamesTheRows();
    void workingControlsWaitForTheLookup();
    void withoutDrivesOnlyTheMessageShows();
    void discImagesAreListedAsDrives();
};

void RipperPageTest::demoDiscIsListedAndShownOnFirstStart() {
    RipFixture f;
    QVERIFY2(!DemoDiscPath().empty(), "the demo disc is not built");
    f.MakeGrabber("", true);
    RipperPage& page = f.Page();
    QVERIFY(page.isSkinned());
    // The demo disc reads as what it is, not as the path of its image.
    QCOMPARE(page.driveBox()->count(), 2);
    QCOMPARE(page.driveBox()->itemText(0), QString("Demo disc"));
    QCOMPARE(page.driveBox()->itemText(1), QString("Open disc image..."));
    // Four tracks, named by the disc's CD-Text once the (failing) look-up has ended.
    QCOMPARE(f.Column(0), (QStringList{"01", "02", "03", "04"}));
    QVERIFY2(!f.Column(2).first().startsWith("Session"), "the demo disc names its tracks");
    QVERIFY(page.disc().freedbDataInUse());
    const QString total = QString::fromStdString(FormatDuration(page.disc().TotalMs()));
    QVERIFY2(
        page.statusText()->text().endsWith("  Track Count: 04 ,          Total Duration: " + total),
        qPrintable(page.statusText()->text()));
    // The first row is selected and its tags fill the fields; the controls are usable.
    QCOMPARE(page.currentItem(), 0);
    QCOMPARE(page.tagEdit(kTitle)->text(), f.Column(2).first());
    QCOMPARE(f.statusLine.text(), QString("No.: 01, second: 00:00:00.000"));
    QVERIFY(page.formatBox()->isEnabled() && page.tagEdit(kArtist)->isEnabled());
    QVERIFY(f.prompter.messages.empty());
}

// The menu's commands, the rows' boxes and the tag fields act on the disc model (whose
// rules are the core's tests) and the list shows what they did.
void RipperPageTest::failedLookUpStaysReadableAndTheListReachesTheModel() {
    RipFixture f;
    f.MakeGrabber(f.Image("plain", {150, 225, 4537}));
    RipperPage& page = f.Page();
    QTreeWidget* list = page.trackList();
    // The look-up failed (nothing listens on the port) and the image has no CD-Text.
    QCOMPARE(f.Column(2), (QStringList{"Session1 Track1", "Session1 Track2", "Session1 Track3"}));
    QCOMPARE(f.Column(3), (QStringList{"00:02.000", "00:03.000", "01:00.493"}));
    // The failed look-up stays readable beside the track count, also after a refresh.
    const QString failed =
        "Connection failed!  Track Count: 03 ,          Total Duration: 00:01:05.493";
    QCOMPARE(page.statusText()->text(), failed);
    page.disc().RefreshCd();
    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.statusText()->text(), failed);

    f.MenuAction("Select &none")->trigger();
    list->topLevelItem(1)->setCheckState(0, Qt::Checked);
    QCOMPARE(page.disc().CheckedCount(), 1);
    QVERIFY(page.disc().rows()[1].checked);
    QVERIFY(!page.selectAllBox()->isChecked());
    QTest::mouseClick(page.selectAllBox(), Qt::LeftButton);
    QCOMPARE(page.disc().CheckedCount(), 3);
    // A case command refills the list and the fields without a new look-up.
    const int lookups = f.grabber->lookups;
    f.MenuAction("&UPPER CASE")->trigger();
    QCOMPARE(f.Column(2).first(), QString("SESSION1 TRACK1"));
    QCOMPARE(page.tagEdit(kTitle)->text(), QString("SESSION1 TRACK1"));
    QCOMPARE(f.grabber->lookups, lookups);

    list->setCurrentItem(list->topLevelItem(2));
    QCOMPARE(f.statusLine.text(), QString("No.: 03, second: 00:00:00.000"));
    page.tagEdit(kArtist)->clear();
    QTest::keyClicks(page.tagEdit(kArtist), "Typed Artist");
    page.tagEdit(kYear)->setText("1987");
    page.genreBox()->setCurrentIndex(17);
    QCOMPARE(page.disc().tags().artist[2], std::string("Typed Artist"));
    QCOMPARE(page.disc().tags().year[2], std::string("1987"));
    QCOMPARE(page.disc().tags().genre[2], f.genres->GenreName(17));
    QCOMPARE(list->topLevelItem(2)->text(1), QString("Typed Artist"));
    // Another row shows its own tags without writing them anywhere.
    list->setCurrentItem(list->topLevelItem(0));
    QCOMPARE(page.tagEdit(kYear)->text(), QString("2007"));
    QCOMPARE(page.disc().tags().year[2], std::string("1987"));
}

void RipperPageTest::freedbFillsTheRowsAndItsBoxAsksBeforeRefreshing() {
    quelt::test::CddbServer server;
    QVERIFY(server.running());
    RipFixture f;
    f.freedb->SetCustomServer(server.host());
    f.MakeGrabber(f.Image("exact", {150, 225, 190}));
    RipperPage& page = f.Page();
    QVERIFY(page.disc().freedbDataInUse());
    QCOMPARE(f.Column(2), (QStringList{"First Light", "Second Wind", "Third Rail"}));
    QCOMPARE(f.Column(1).first(), QString("The Test Pilots"));
    QCOMPARE(page.tagEdit(kAlbum)->text(), QString("Loopback Sessions"));
    // "Post-Rock" is no ID3 name: the box shows the entry's genre without choosing a name.
    QCOMPARE(page.genreBox()->currentIndex(), -1);
    QCOMPARE(page.genreBox()->placeholderText(), QString("Post-rock"));
    QCOMPARE(page.statusText()->text(), QString("FreeDB information available  Track Count: "
                                                "03 ,          Total Duration: 00:00:07.533"));
    const int lookups = f.grabber->lookups;

    f.prompter.answers = {true};
    QTest::mouseClick(page.freedbBox(), Qt::LeftButton);
    QCOMPARE(f.prompter.questions.size(), std::size_t(1));
    QCOMPARE(f.prompter.questions[0].caption, std::string("FreeDB information changed"));
    QCOMPARE(f.prompter.questions[0].text,
             std::string("Refresh the CD Album Information without FreeDB support ?"));
    QVERIFY(!page.disc().freedbDataInUse());
    QCOMPARE(f.grabber->lookups, lookups);
    QCOMPARE(f.Column(2).first(), QString("Session1 Track1"));
    // Checking it again asks the other question; Yes looks the disc up again.
    f.prompter.answers = {true};
    QTest::mouseClick(page.freedbBox(), Qt::LeftButton);
    QCOMPARE(f.prompter.questions.back().text,
             std::string("Refresh the CD Album Information with FreeDB support ?"));
    QVERIFY(f.WaitForLookup());
    QCOMPARE(f.grabber->lookups, lookups + 1);
    QCOMPARE(f.Column(2).first(), QString("First Light"));
}

void RipperPageTest::musicBrainzReleaseChosenByTheUserNamesTheRows() {
    RipFixture f;
    const std::string cue = f.Image("released", {300, 450, 375});
    f.MakeGrabber(cue);
    CdGrabberOptions options;
    options.listDevices = false;
    options.watchMedia = false;
    auto probe = CreateCdGrabber(options);
    probe->Open();
    probe->SelectDrive(probe->AddImage(cue));
    probe->RefreshDisc();
    const std::string root = f.scratch.File("web");
    QVERIFY(quelt::test::WriteMusicBrainzSite(root, MusicBrainzDiscId(probe->Layout()), 1275));
    quelt::test::HttpServer server(root);
    QVERIFY(server.running());
    f.context.settings.rip.lookupSource = LookupSource::kMusicBrainz;
    f.context.settings.rip.musicBrainzServer = "127.0.0.1:" + std::to_string(server.port());

    RipperPage& page = f.Page();
    std::vector<std::string> offered;
    page.SetReleaseChooser([&](const std::vector<MusicBrainzRelease>& releases) {
        for (const auto& release : releases) offered.push_back(release.id);
        return 1;
    });
    QVERIFY(QTest::qWaitFor([&] { return !page.disc().musicBrainzPending(); }, 120000));
    QCOMPARE(offered,
             (std::vector<std::string>{quelt::test::kFirstRelease, quelt::test::kSecondRelease}));
    QCOMPARE(f.Column(2), (QStringList{"Morning Tide", "Night Ferry (remastered)", "Last Light"}));
    QCOMPARE(page.tagEdit(kAlbum)->text(), QString("Harbour Lights (deluxe)"));
    QVERIFY(page.statusText()->text().startsWith(
        "Track names from MusicBrainz: The Quelt Ensemble - Harbour Lights (Deluxe)"));
}

void RipperPageTest::workingControlsWaitForTheLookup() {
    quelt::test::CddbServer server("silent");  // never answers: the look-up waits for its time-out
    RipFixture f;
    f.freedb->SetCustomServer(server.host());
    f.context.settings.rip.freedbTimeOut = 1000;  // the page configures FreeDB from it
    f.MakeGrabber(f.Image("slow", {100, 100}));
    f.page = std::make_unique<RipperPage>(f.skin, f.context, *f.grabber, *f.freedb, f.genres.get());
    RipperPage& page = *f.page;
    const std::initializer_list<QWidget*> working{
        page.driveBox(),       page.formatBox(),    page.presetBox(), page.genreBox(),
        page.tagEdit(kArtist), page.selectAllBox(), page.freedbBox()};
    QVERIFY(page.disc().lookupPending());
    QCOMPARE(page.statusText()->text(), QString("Finish Refreshing CD Information"));
    QCOMPARE(page.trackList()->topLevelItemCount(), 0);
    for (QWidget* w : working) QVERIFY(!w->isEnabled());
    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.trackList()->topLevelItemCount(), 2);
    for (QWidget* w : working) QVERIFY(w->isEnabled());
}

void RipperPageTest::withoutDrivesOnlyTheMessageShows() {
    RipFixture f;
    f.MakeGrabber("");
    RipperPage& page = f.Page();
    QCOMPARE(page.driveBox()->count(), 1);
    QCOMPARE(page.driveBox()->currentIndex(), -1);
    QCOMPARE(page.statusText()->text(), QString("No CD drives are found !"));
    QCOMPARE(page.trackList()->topLevelItemCount(), 0);
    page.StartJob();
    QCOMPARE(f.prompter.messages.size(), std::size_t(1));
    QCOMPARE(f.prompter.messages[0].caption, std::string("Quelt CD Ripper Pro - Audio CD Ripper"));
    QCOMPARE(f.prompter.messages[0].text, std::string("Please insert an Audio CD!"));
    QVERIFY(!f.context.ripControl.busy.load());
}

// "Open disc image..." ends the drive list and the page's menu: a chosen image becomes a
// drive of its own, selected and read; a cancelled choice keeps the drive in use; an image
// that cannot be read is named in the status.
void RipperPageTest::discImagesAreListedAsDrives() {
    RipFixture f;
    f.MakeGrabber(f.Image("first", {100, 100}));
    RipperPage& page = f.Page();
    QComboBox* drives = page.driveBox();
    QString chosen;
    int asked = 0;
    page.SetImageChooser([&](QWidget*) {
        ++asked;
        return chosen;
    });
    drives->setCurrentIndex(1);
    QCOMPARE(asked, 1);
    QCOMPARE(drives->currentIndex(), 0);

    chosen = QString::fromStdString(f.Image("second", {100, 100, 100}));
    drives->setCurrentIndex(drives->count() - 1);
    QCOMPARE(drives->count(), 3);
    QCOMPARE(drives->currentText(), QString("second.cue"));
    QCOMPARE(drives->itemText(2), QString("Open disc image..."));
    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.trackList()->topLevelItemCount(), 3);

    const std::string notes = f.scratch.File("notes.txt");
    std::ofstream(notes) << "not an image";
    chosen = QString::fromStdString(notes);
    f.MenuAction("Open disc &image...")->trigger();
    QCOMPARE(asked, 3);
    QVERIFY(page.statusText()->text().startsWith("Cannot open the disc image: "));
    QCOMPARE(drives->count(), 3);
    QCOMPARE(drives->currentText(), QString("second.cue"));
    QCOMPARE(page.trackList()->topLevelItemCount(), 3);
}

QUELT_GUI_TEST(RipperPageTest)
#include "test_ripper_page.moc"
