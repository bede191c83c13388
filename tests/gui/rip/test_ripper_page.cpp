// The ripper page: the demo disc on first start, the track list's rows and summary, the
// check-mark commands, tag edits reaching the Disc model's lists, the case modes, FreeDB
// against the loopback CDDB server, the format and preset written at once, the tray
// buttons, the context menu's zone, a machine without drives, and a MusicBrainz release
// chosen among several naming the rows.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
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

constexpr int kArtist = 1048, kAlbum = 1051, kTitle = 1052, kYear = 1056, kCopyright = 1054,
              kComment = 1055;

// "mm:ss.mmm" of a track of `sectors` CD sectors (75 per second).
QString SectorDuration(int sectors) {
    const int ms = static_cast<int>(static_cast<int64_t>(sectors) * 1000 / 75);
    return QString::fromStdString(FormatTrackNumber(ms / 60000, 2) + ":" +
                                  FormatTrackNumber(ms / 1000 % 60, 2) + "." +
                                  FormatTrackNumber(ms % 1000, 3));
}

}  // namespace

class RipperPageTest : public QObject {
    Q_OBJECT
  private slots:
    void demoDiscIsListedAndShownOnFirstStart();
    void rowsAndAFailedLookUpThatStaysReadable();
    void listCommandsAndTagFieldsReachTheModel();
    void freedbFillsTheRowsFromTheServer();
    void musicBrainzReleaseChosenByTheUserNamesTheRows();
    void workingControlsWaitForTheLookup();
    void freedbBoxAsksBeforeRefreshing_data();
    void freedbBoxAsksBeforeRefreshing();
    void formatAndPresetAreWrittenAtOnce();
    void trayButtonsReachTheGrabber();
    void contextMenuOpensOnlyOverTheList();
    void withoutDrivesOnlyTheMessageShows();
    void discImagesAreListedAsDrives();
};

void RipperPageTest::demoDiscIsListedAndShownOnFirstStart() {
    RipFixture f;
    QVERIFY2(!DemoDiscPath().empty(), "the demo disc is not built");
    f.MakeGrabber("", true);
    RipperPage& page = f.Page();
    QVERIFY(page.isSkinned());

    QCOMPARE(page.driveBox()->count(), 2);  // the demo disc and "Open disc image..."
    // The demo disc reads as what it is, not as the path of its image.
    QCOMPARE(page.driveBox()->itemText(0), QString("Demo disc"));
    QCOMPARE(page.driveBox()->currentIndex(), 0);
    QVERIFY(page.driveBox()->isEnabled());

    // Four tracks, named by the disc's CD-Text once the (failing) look-up has ended.
    QTreeWidget* list = page.trackList();
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(f.Column(0), (QStringList{"01", "02", "03", "04"}));
    int totalSectors = 0;
    for (int t = 0; t < 4; ++t) {
        f.grabber->SelectSession(0);
        f.grabber->SelectTrack(t);
        const int sectors = f.grabber->TrackSizeA();
        totalSectors += sectors;
        QCOMPARE(list->topLevelItem(t)->text(3), SectorDuration(sectors));
        QVERIFY(!list->topLevelItem(t)->text(2).isEmpty());
        QVERIFY2(!list->topLevelItem(t)->text(2).startsWith("Session"),
                 "the demo disc names its tracks");
        QCOMPARE(list->topLevelItem(t)->checkState(0), Qt::Checked);
        QVERIFY(!list->topLevelItem(t)->icon(0).isNull());
    }
    QVERIFY(page.disc().freedbDataInUse());
    const QString total = QString::fromStdString(FormatDuration(page.disc().TotalMs()));
    QVERIFY2(page.statusText()->text().endsWith("  Track Count: 04 ,          Total Duration: " + total),
             qPrintable(page.statusText()->text()));
    QVERIFY(qAbs(page.disc().TotalMs() - totalSectors * 1000 / 75) < 4);

    // The first row is selected and its tags fill the fields; the controls are usable.
    QCOMPARE(page.currentItem(), 0);
    QCOMPARE(page.tagEdit(kTitle)->text(), list->topLevelItem(0)->text(2));
    QCOMPARE(page.tagEdit(kArtist)->text(), list->topLevelItem(0)->text(1));
    QCOMPARE(f.statusLine.text(), QString("No.: 01, second: 00:00:00.000"));
    for (QWidget* w : std::initializer_list<QWidget*>{
             page.formatBox(), page.presetBox(), page.genreBox(), page.tagEdit(kArtist),
             page.tagEdit(kComment), page.selectAllBox(), page.freedbBox()})
        QVERIFY(w->isEnabled());
    QVERIFY(page.selectAllBox()->isChecked());
    QVERIFY(page.freedbBox()->isChecked());
    QVERIFY(f.prompter.messages.empty());
}

void RipperPageTest::rowsAndAFailedLookUpThatStaysReadable() {
    RipFixture f;
    f.MakeGrabber(f.Image("plain", {150, 225, 4537}));
    RipperPage& page = f.Page();
    QTreeWidget* list = page.trackList();
    QCOMPARE(list->headerItem()->text(0) + "|" + list->headerItem()->text(1) + "|" +
                 list->headerItem()->text(2) + "|" + list->headerItem()->text(3),
             QString("   # | Artist| Title| Duration"));
    // The look-up failed (nothing listens on the port) and the image has no CD-Text.
    QVERIFY(!page.disc().freedbDataInUse());
    QCOMPARE(f.Column(1), (QStringList{"Artist", "Artist", "Artist"}));
    QCOMPARE(f.Column(2), (QStringList{"Session1 Track1", "Session1 Track2", "Session1 Track3"}));
    QCOMPARE(f.Column(3), (QStringList{"00:02.000", "00:03.000", "01:00.493"}));
    // The failed look-up stays readable beside the track count, also after a refresh.
    const QString failed = "Connection failed!  Track Count: 03 ,          Total Duration: 00:01:05.493";
    QCOMPARE(page.statusText()->text(), failed);
    page.disc().RefreshCd();
    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.statusText()->text(), failed);
    // The default genre "None" is no ID3 name: the box shows it without choosing a name.
    QCOMPARE(page.genreBox()->currentIndex(), -1);
    QCOMPARE(page.genreBox()->placeholderText(), QString("None"));

    // Choosing another row shows its tags and moves the position label.
    list->setCurrentItem(list->topLevelItem(2));
    QCOMPARE(page.tagEdit(kTitle)->text(), QString("Session1 Track3"));
    QCOMPARE(f.statusLine.text(), QString("No.: 03, second: 00:00:00.000"));
}

// The menu's commands, the select-all box, the rows' boxes and the tag fields act on the
// disc model (whose rules are the core's tests) and the list shows what they did.
void RipperPageTest::listCommandsAndTagFieldsReachTheModel() {
    RipFixture f;
    f.MakeGrabber(f.Image("marks", {100, 100, 100}));
    RipperPage& page = f.Page();
    QTreeWidget* list = page.trackList();
    using Marks = std::vector<bool>;
    f.MenuAction("Select &none")->trigger();
    QCOMPARE(f.CheckMarks(), (Marks{false, false, false}));
    QVERIFY(!page.selectAllBox()->isChecked());
    list->topLevelItem(1)->setCheckState(0, Qt::Checked);
    QVERIFY(page.disc().rows()[1].checked);
    f.MenuAction("&Invert selection")->trigger();
    QCOMPARE(f.CheckMarks(), (Marks{true, false, true}));
    f.MenuAction("&Select all")->trigger();
    QVERIFY(page.selectAllBox()->isChecked());
    QTest::mouseClick(page.selectAllBox(), Qt::LeftButton);
    QCOMPARE(f.CheckMarks(), (Marks{false, false, false}));
    QCOMPARE(page.disc().CheckedCount(), 0);

    // A case command refills the list and the fields without a new look-up.
    const int lookups = f.grabber->lookups;
    QAction* upper = f.MenuAction("&UPPER CASE");
    upper->trigger();
    QVERIFY(upper->isChecked());
    QCOMPARE(f.Column(2), (QStringList{"SESSION1 TRACK1", "SESSION1 TRACK2", "SESSION1 TRACK3"}));
    QCOMPARE(page.tagEdit(kTitle)->text(), QString("SESSION1 TRACK1"));
    f.MenuAction("Sentense case")->trigger();
    QCOMPARE(f.Column(2).first(), QString("Session1 track1"));
    f.MenuAction("&Capitalize")->trigger();
    QCOMPARE(f.grabber->lookups, lookups);

    list->setCurrentItem(list->topLevelItem(1));
    page.tagEdit(kArtist)->clear();
    QTest::keyClicks(page.tagEdit(kArtist), "Typed Artist");
    page.tagEdit(kTitle)->setText("Edited Title");
    page.tagEdit(kAlbum)->setText("Edited Album");
    page.tagEdit(kYear)->setText("1987");
    page.tagEdit(kCopyright)->setText("(c) Someone");
    page.tagEdit(kComment)->setText("A comment");
    page.genreBox()->setCurrentIndex(17);
    const TagLists& tags = page.disc().tags();
    QCOMPARE(tags.artist[1], std::string("Typed Artist"));
    QCOMPARE(tags.album[1], std::string("Edited Album"));
    QCOMPARE(tags.year[1], std::string("1987"));
    QCOMPARE(tags.copyright[1], std::string("(c) Someone"));
    QCOMPARE(tags.comment[1], std::string("A comment"));
    QCOMPARE(tags.genre[1], f.genres->GenreName(17));
    QCOMPARE(list->topLevelItem(1)->text(1), QString("Typed Artist"));
    QCOMPARE(list->topLevelItem(1)->text(2), QString("Edited Title"));
    // Moving to another row shows its own tags without writing them anywhere.
    list->setCurrentItem(list->topLevelItem(0));
    QCOMPARE(page.tagEdit(kTitle)->text(), QString("Session1 Track1"));
    QCOMPARE(page.tagEdit(kYear)->text(), QString("2007"));
    QCOMPARE(tags.title[1], std::string("Edited Title"));
    list->setCurrentItem(list->topLevelItem(1));
    QCOMPARE(page.genreBox()->currentIndex(), 17);
}

void RipperPageTest::freedbFillsTheRowsFromTheServer() {
    quelt::test::CddbServer server;
    QVERIFY(server.running());
    RipFixture f;
    f.freedb->SetCustomServer(server.host());
    f.MakeGrabber(f.Image("exact", {150, 225, 190}));
    RipperPage& page = f.Page();
    QVERIFY(page.disc().freedbDataInUse());
    QCOMPARE(f.Column(2), (QStringList{"First Light", "Second Wind", "Third Rail"}));
    QCOMPARE(f.Column(1), (QStringList{"The Test Pilots", "The Test Pilots", "The Test Pilots"}));
    QCOMPARE(page.tagEdit(kAlbum)->text(), QString("Loopback Sessions"));
    QCOMPARE(page.tagEdit(kYear)->text(), QString("1999"));
    // "Post-Rock" is no ID3 name: the box shows the entry's genre without choosing a name.
    QCOMPARE(page.genreBox()->currentIndex(), -1);
    QCOMPARE(page.genreBox()->placeholderText(), QString("Post-rock"));
    QCOMPARE(page.statusText()->text(),
             QString("FreeDB information available  Track Count: 03 ,          Total Duration: 00:00:07.533"));
    QVERIFY(QString::fromStdString(server.RequestLog()).contains("cddb"));
}

void RipperPageTest::musicBrainzReleaseChosenByTheUserNamesTheRows() {
    RipFixture f;
    const std::string cue = f.Image("released", {300, 450, 375});
    std::string discId;
    {
        CdGrabberOptions options;
        options.listDevices = false;
        options.watchMedia = false;
        options.demoImage = "/nonexistent/demo.cue";
        auto probe = CreateCdGrabber(options);
        probe->Open();
        probe->SelectDrive(probe->AddImage(cue));
        probe->RefreshDisc();
        discId = MusicBrainzDiscId(probe->Layout());
    }
    const std::string root = f.scratch.File("web");
    QVERIFY(quelt::test::WriteMusicBrainzSite(root, discId, 1275));
    quelt::test::HttpServer server(root);
    QVERIFY(server.running());
    f.context.settings.rip.lookupSource = LookupSource::kMusicBrainz;
    f.context.settings.rip.musicBrainzServer = "127.0.0.1:" + std::to_string(server.port());
    f.MakeGrabber(cue);

    RipperPage& page = f.Page();
    std::vector<std::string> offered;
    page.SetReleaseChooser([&](const std::vector<MusicBrainzRelease>& releases) {
        for (const auto& release : releases) offered.push_back(release.id);
        return 1;
    });
    QVERIFY(QTest::qWaitFor([&] { return !page.disc().musicBrainzPending(); }, 120000));
    QCOMPARE(offered, (std::vector<std::string>{quelt::test::kFirstRelease, quelt::test::kSecondRelease}));
    QCOMPARE(f.Column(2), (QStringList{"Morning Tide", "Night Ferry (remastered)", "Last Light"}));
    QCOMPARE(page.tagEdit(kAlbum)->text(), QString("Harbour Lights (deluxe)"));
    QCOMPARE(page.tagEdit(kYear)->text(), QString("2003"));
    QVERIFY(page.statusText()->text().startsWith("Track names from MusicBrainz: The Quelt Ensemble - Harbour Lights (Deluxe)"));
    QVERIFY(page.tagEdit(kTitle)->isEnabled());
}

void RipperPageTest::workingControlsWaitForTheLookup() {
    quelt::test::CddbServer server("silent");  // never answers: the look-up waits for its time-out
    RipFixture f;
    f.freedb->SetCustomServer(server.host());
    f.context.settings.rip.freedbTimeOut = 1000;  // the page configures FreeDB from it
    f.MakeGrabber(f.Image("slow", {100, 100}));
    f.page = std::make_unique<RipperPage>(f.skin, f.context, *f.grabber, *f.freedb, f.genres.get());
    RipperPage& page = *f.page;
    QVERIFY(page.disc().lookupPending());
    QCOMPARE(page.statusText()->text(), QString("Finish Refreshing CD Information"));
    QCOMPARE(page.trackList()->topLevelItemCount(), 0);
    for (QWidget* w : std::initializer_list<QWidget*>{
             page.driveBox(), page.formatBox(), page.presetBox(), page.genreBox(),
             page.tagEdit(kArtist), page.tagEdit(kYear), page.selectAllBox(), page.freedbBox()})
        QVERIFY(!w->isEnabled());

    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.trackList()->topLevelItemCount(), 2);
    QCOMPARE(page.statusText()->text(),
             QString("Connection failed!  Track Count: 02 ,          Total Duration: 00:00:02.666"));
    for (QWidget* w : std::initializer_list<QWidget*>{
             page.driveBox(), page.formatBox(), page.presetBox(), page.genreBox(),
             page.tagEdit(kArtist), page.tagEdit(kYear), page.selectAllBox(), page.freedbBox()})
        QVERIFY(w->isEnabled());
}

void RipperPageTest::freedbBoxAsksBeforeRefreshing_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes refreshes without FreeDB") << true;
    QTest::newRow("no leaves the list") << false;
}

void RipperPageTest::freedbBoxAsksBeforeRefreshing() {
    QFETCH(bool, answer);
    quelt::test::CddbServer server;
    RipFixture f;
    f.freedb->SetCustomServer(server.host());
    f.MakeGrabber(f.Image("exact", {150, 225, 190}));
    RipperPage& page = f.Page();
    QCOMPARE(f.Column(2).first(), QString("First Light"));
    const int lookups = f.grabber->lookups;

    f.prompter.answers = {answer};
    QTest::mouseClick(page.freedbBox(), Qt::LeftButton);
    QVERIFY(!page.freedbBox()->isChecked());
    QCOMPARE(f.prompter.questions.size(), std::size_t(1));
    QCOMPARE(f.prompter.questions[0].caption, std::string("FreeDB information changed"));
    QCOMPARE(f.prompter.questions[0].text,
             std::string("Refresh the CD Album Information without FreeDB support ?"));
    QVERIFY(!page.disc().freedbDataInUse());
    QCOMPARE(f.grabber->lookups, lookups);
    if (answer) {
        QCOMPARE(f.Column(2).first(), QString("Session1 Track1"));
        QCOMPARE(page.statusText()->text(), QString("Finish Refreshing CD Information"));
    } else {
        QCOMPARE(f.Column(2).first(), QString("First Light"));
    }

    // Checking it again asks the other question; Yes looks the disc up again.
    f.prompter.answers = {true};
    QTest::mouseClick(page.freedbBox(), Qt::LeftButton);
    QCOMPARE(f.prompter.questions.back().text,
             std::string("Refresh the CD Album Information with FreeDB support ?"));
    QVERIFY(f.WaitForLookup());
    QCOMPARE(f.grabber->lookups, lookups + 1);
    QCOMPARE(f.Column(2).first(), QString("First Light"));
}

// Stored rows outside the lists show the first rows; a choice goes straight into the file.
void RipperPageTest::formatAndPresetAreWrittenAtOnce() {
    RipFixture f;
    f.context.profile.WriteInt("CDRIP", "FormatIndex", 99);
    f.context.profile.WriteInt("CDRIP", "FParamIndex", -3);
    f.MakeGrabber(f.Image("format", {100}));
    RipperPage& page = f.Page();
    QCOMPARE(page.formatBox()->currentIndex(), 0);
    QCOMPARE(page.presetBox()->currentIndex(), 0);
    QCOMPARE(f.context.settings.ripExtension, std::string(".3gp"));
    page.formatBox()->setCurrentIndex(9);
    page.presetBox()->setCurrentIndex(12);
    ProfileFile file(f.scratch.File("zqrprocfg.cfg"));  // a reader of its own
    QCOMPARE(file.ReadInt("CDRIP", "FormatIndex"), 9);
    QCOMPARE(file.ReadInt("CDRIP", "FParamIndex"), 12);
    QCOMPARE(file.ReadInt("CONVERT", "FormatIndex"), 0);
}

void RipperPageTest::trayButtonsReachTheGrabber() {
    RipFixture f;
    f.MakeGrabber(f.Image("tray", {100}));
    RipperPage& page = f.Page();
    auto* eject = page.control<QAbstractButton>(1067);
    auto* load = page.control<QAbstractButton>(1066);
    QVERIFY(eject && load);
    QTest::mouseClick(eject, Qt::LeftButton);
    QTest::mouseClick(load, Qt::LeftButton);
    QCOMPARE(f.grabber->ejects, 1);
    QCOMPARE(f.grabber->trayCloses, 1);
}

void RipperPageTest::contextMenuOpensOnlyOverTheList() {
    RipFixture f;
    f.MakeGrabber(f.Image("menu", {100, 100}));
    RipperPage& page = f.Page();
    QStringList labels;
    for (QAction* action : page.trackMenu()->actions()) labels << action->text();
    QCOMPARE(labels,
             (QStringList{"Pla&y", "St&op", "", "&Select all", "Select &none", "&Invert selection",
                          "", "&UPPER CASE", "&lower case", "&Capitalize", "Sentense case", "",
                          "Open disc &image..."}));
    QVERIFY(!f.MenuAction("Pla&y")->isEnabled());  // no preview player given

    QVERIFY(!page.OpenTrackMenu(nullptr));  // the keyboard's point lies outside the list
    const QPoint outside(500, 100);
    QVERIFY(!page.OpenTrackMenu(&outside));
    QVERIFY(!page.trackMenu()->isVisible());

    bool played = false;
    page.SetPreviewCommands([&] { played = true; }, [] {});
    page.show();
    page.trackList()->setCurrentItem(page.trackList()->topLevelItem(1));
    const QPoint over(100, 80);
    QContextMenuEvent event(QContextMenuEvent::Mouse, over, page.mapToGlobal(over));
    QApplication::sendEvent(&page, &event);
    QVERIFY(page.trackMenu()->isVisible());
    QCOMPARE(page.currentItem(), 1);
    QVERIFY(f.MenuAction("Pla&y")->isEnabled());
    f.MenuAction("Pla&y")->trigger();
    QVERIFY(played);
    page.trackMenu()->hide();
}

void RipperPageTest::withoutDrivesOnlyTheMessageShows() {
    RipFixture f;
    f.MakeGrabber("");
    RipperPage& page = f.Page();
    QCOMPARE(page.driveBox()->count(), 1);
    QCOMPARE(page.driveBox()->itemText(0), QString("Open disc image..."));
    QCOMPARE(page.driveBox()->currentIndex(), -1);
    QCOMPARE(page.statusText()->text(), QString("No CD drives are found !"));
    QCOMPARE(page.trackList()->topLevelItemCount(), 0);
    QCOMPARE(page.currentItem(), -1);
    page.StartJob();
    QCOMPARE(f.prompter.messages.size(), std::size_t(1));
    QCOMPARE(f.prompter.messages[0].caption, std::string("Quelt CD Ripper Pro - Audio CD Ripper"));
    QCOMPARE(f.prompter.messages[0].text, std::string("Please insert an Audio CD!"));
    QVERIFY(!f.context.ripControl.busy.load());
}

// "Open disc image..." ends the drive list and the page's menu: a chosen image becomes a
// drive of its own, selected and read; a cancelled choice keeps the drive in use; an image
// handed over by a later start of the program is listed the same way, and one that cannot
// be read is named in the status.
void RipperPageTest::discImagesAreListedAsDrives() {
    RipFixture f;
    f.MakeGrabber(f.Image("first", {100, 100}));
    RipperPage& page = f.Page();
    QComboBox* drives = page.driveBox();
    QCOMPARE(drives->count(), 2);
    QCOMPARE(drives->itemText(1), QString("Open disc image..."));
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
    QCOMPARE(drives->currentIndex(), 1);
    QCOMPARE(drives->itemText(1), QString("second.cue"));
    QCOMPARE(drives->itemText(2), QString("Open disc image..."));
    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.trackList()->topLevelItemCount(), 3);

    page.OpenDiscImage(QString::fromStdString(f.Image("third", {4500, 6000})));
    QVERIFY(f.WaitForLookup());
    QCOMPARE(drives->count(), 4);
    QCOMPARE(drives->currentText(), QString("third.cue"));
    QCOMPARE(page.trackList()->topLevelItemCount(), 2);

    const std::string notes = f.scratch.File("notes.txt");
    std::ofstream(notes) << "not an image";
    chosen = QString::fromStdString(notes);
    QAction* open = f.MenuAction("Open disc &image...");
    QVERIFY(open);
    open->trigger();
    QCOMPARE(asked, 3);
    QVERIFY(page.statusText()->text().startsWith("Cannot open the disc image: "));
    page.OpenDiscImage(QString::fromStdString(notes));
    QVERIFY(page.statusText()->text().startsWith("Cannot open the disc image: "));
    QCOMPARE(drives->count(), 4);
    QCOMPARE(drives->currentText(), QString("third.cue"));
    QCOMPARE(page.trackList()->topLevelItemCount(), 2);
}

QUELT_GUI_TEST(RipperPageTest)
#include "test_ripper_page.moc"
