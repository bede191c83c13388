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

#include "core/catalogue/catalogue.h"
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
    void rowsShowNumberArtistTitleDurationAndItemValue();
    void checkMarkCommands();
    void checkBoxesOfTheListReachTheModel();
    void tagEditsReachTheTagLists();
    void genreOutsideTheNamesIsShownAndKept();
    void caseModesRefillTheList();
    void freedbFillsTheRowsFromTheServer();
    void musicBrainzReleaseChosenByTheUserNamesTheRows();
    void workingControlsWaitForTheLookup();
    void freedbBoxAsksBeforeRefreshing_data();
    void freedbBoxAsksBeforeRefreshing();
    void formatAndPresetAreWrittenAtOnce_data();
    void formatAndPresetAreWrittenAtOnce();
    void trayButtonsReachTheGrabber();
    void contextMenuOpensOnlyOverTheList();
    void withoutDrivesOnlyTheMessageShows();
    void openDiscImageListsItAsADrive();
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
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->indexOfTopLevelItem(list->selectedItems().front()), 0);
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
    QCOMPARE(page.genreBox()->count(), 148);
    QCOMPARE(page.formatBox()->count(), kOutputFormatCount);
    QCOMPARE(page.presetBox()->count(), kEncodePresetCount);
    QVERIFY(f.prompter.messages.empty());
}

void RipperPageTest::rowsShowNumberArtistTitleDurationAndItemValue() {
    RipFixture f;
    f.MakeGrabber(f.Image("plain", {150, 225, 4537}));
    RipperPage& page = f.Page();
    QTreeWidget* list = page.trackList();
    QCOMPARE(list->headerItem()->text(0), QString("   # "));
    QCOMPARE(list->headerItem()->text(1), QString(" Artist"));
    QCOMPARE(list->headerItem()->text(2), QString(" Title"));
    QCOMPARE(list->headerItem()->text(3), QString(" Duration"));
    QVERIFY(list->header()->font().bold());
    QCOMPARE(list->font().pixelSize(), 13);
    QCOMPARE(list->palette().color(QPalette::Base), QColor(54, 106, 179));
    QCOMPARE(list->palette().color(QPalette::Text), QColor(255, 255, 255));

    // The look-up failed (nothing listens on the port) and the image has no CD-Text.
    QVERIFY(!page.disc().freedbDataInUse());
    QCOMPARE(f.Column(1), (QStringList{"Artist", "Artist", "Artist"}));
    QCOMPARE(f.Column(2), (QStringList{"Session1 Track1", "Session1 Track2", "Session1 Track3"}));
    QCOMPARE(f.Column(3), (QStringList{"00:02.000", "00:03.000", "01:00.493"}));
    for (int row = 0; row < 3; ++row)
        QCOMPARE(list->topLevelItem(row)->data(0, Qt::UserRole).toInt(), row);
    // The failed look-up stays readable beside the track count, also after a refresh.
    const QString failed = "Connection failed!  Track Count: 03 ,          Total Duration: 00:01:05.493";
    QCOMPARE(page.statusText()->text(), failed);
    page.disc().RefreshCd();
    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.statusText()->text(), failed);
    // Without FreeDB data the disc-wide fields stay empty; the year keeps "2007" unshown.
    QCOMPARE(page.tagEdit(kTitle)->text(), QString("Session1 Track1"));
    QCOMPARE(page.tagEdit(kArtist)->text(), QString("Artist"));
    QCOMPARE(page.tagEdit(kCopyright)->text(), QString("Quelt Copyright"));
    QCOMPARE(page.tagEdit(kComment)->text(), QString("Brenvik"));
    QCOMPARE(page.tagEdit(kArtist)->maxLength(), 200);
    QCOMPARE(page.tagEdit(kComment)->maxLength(), 255);

    // Choosing another row shows its tags and moves the position label.
    list->setCurrentItem(list->topLevelItem(2));
    QCOMPARE(page.currentItem(), 2);
    QCOMPARE(page.tagEdit(kTitle)->text(), QString("Session1 Track3"));
    QCOMPARE(f.statusLine.text(), QString("No.: 03, second: 00:00:00.000"));
}

void RipperPageTest::checkMarkCommands() {
    RipFixture f;
    f.MakeGrabber(f.Image("marks", {100, 100, 100}));
    RipperPage& page = f.Page();
    using Marks = std::vector<bool>;

    f.MenuAction("Select &none")->trigger();
    QCOMPARE(f.CheckMarks(), (Marks{false, false, false}));
    QVERIFY(!page.selectAllBox()->isChecked());
    QCOMPARE(page.disc().CheckedCount(), 0);

    f.MenuAction("&Invert selection")->trigger();  // every row now checked: the box too
    QCOMPARE(f.CheckMarks(), (Marks{true, true, true}));
    QVERIFY(page.selectAllBox()->isChecked());

    page.trackList()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    f.MenuAction("&Invert selection")->trigger();
    QCOMPARE(f.CheckMarks(), (Marks{false, true, false}));
    QVERIFY(!page.selectAllBox()->isChecked());
    QCOMPARE(page.disc().CheckedCount(), 1);

    f.MenuAction("&Select all")->trigger();
    QCOMPARE(f.CheckMarks(), (Marks{true, true, true}));
    QVERIFY(page.selectAllBox()->isChecked());

    // The select-all box itself: a click clears every row, another checks them again.
    QTest::mouseClick(page.selectAllBox(), Qt::LeftButton);
    QVERIFY(!page.selectAllBox()->isChecked());
    QCOMPARE(f.CheckMarks(), (Marks{false, false, false}));
    QCOMPARE(page.disc().CheckedCount(), 0);
    QTest::mouseClick(page.selectAllBox(), Qt::LeftButton);
    QCOMPARE(f.CheckMarks(), (Marks{true, true, true}));
    QCOMPARE(page.disc().CheckedCount(), 3);
}

void RipperPageTest::checkBoxesOfTheListReachTheModel() {
    RipFixture f;
    f.MakeGrabber(f.Image("boxes", {100, 100}));
    RipperPage& page = f.Page();
    QTreeWidget* list = page.trackList();
    list->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    QVERIFY(!page.disc().rows()[0].checked);
    QVERIFY(page.disc().rows()[1].checked);
    list->topLevelItem(0)->setCheckState(0, Qt::Checked);
    QVERIFY(page.disc().rows()[0].checked);
}

void RipperPageTest::tagEditsReachTheTagLists() {
    RipFixture f;
    f.MakeGrabber(f.Image("edits", {100, 100, 100}));
    RipperPage& page = f.Page();
    QTreeWidget* list = page.trackList();
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
    QCOMPARE(tags.title[1], std::string("Edited Title"));
    QCOMPARE(tags.album[1], std::string("Edited Album"));
    QCOMPARE(tags.year[1], std::string("1987"));
    QCOMPARE(tags.copyright[1], std::string("(c) Someone"));
    QCOMPARE(tags.comment[1], std::string("A comment"));
    QCOMPARE(tags.genre[1], f.genres->GenreName(17));
    // Artist and title also show in the row; the other rows keep their tags.
    QCOMPARE(list->topLevelItem(1)->text(1), QString("Typed Artist"));
    QCOMPARE(list->topLevelItem(1)->text(2), QString("Edited Title"));
    QCOMPARE(tags.artist[0], std::string("Artist"));
    QCOMPARE(tags.title[2], std::string("Session1 Track3"));

    // Moving to another row shows its own tags without writing them anywhere.
    list->setCurrentItem(list->topLevelItem(0));
    QCOMPARE(page.tagEdit(kTitle)->text(), QString("Session1 Track1"));
    QCOMPARE(page.tagEdit(kYear)->text(), QString("2007"));
    QCOMPARE(tags.title[1], std::string("Edited Title"));
    list->setCurrentItem(list->topLevelItem(1));
    QCOMPARE(page.tagEdit(kArtist)->text(), QString("Typed Artist"));
    QCOMPARE(page.genreBox()->currentIndex(), 17);

    // With no row selected an edit reaches no list.
    list->clearSelection();
    QCOMPARE(page.currentItem(), -1);
    page.tagEdit(kAlbum)->setText("Nowhere");
    for (const std::string& album : tags.album) QVERIFY(album != "Nowhere");
}

void RipperPageTest::genreOutsideTheNamesIsShownAndKept() {
    RipFixture f;
    f.MakeGrabber(f.Image("genre", {100, 100}));
    RipperPage& page = f.Page();
    // The default genre "None" is no ID3 name: the box shows it without choosing a name.
    QCOMPARE(page.disc().tags().genre[0], std::string("None"));
    QCOMPARE(page.genreBox()->currentIndex(), -1);
    QCOMPARE(page.genreBox()->placeholderText(), QString("None"));
    QCOMPARE(page.genreBox()->count(), 148);
    QCOMPARE(page.disc().tags().genre[0], std::string("None"));
    page.genreBox()->setCurrentIndex(3);
    QCOMPARE(page.disc().tags().genre[0], f.genres->GenreName(3));
}

void RipperPageTest::caseModesRefillTheList() {
    RipFixture f;
    f.MakeGrabber(f.Image("cases", {100, 100}));
    RipperPage& page = f.Page();
    const int lookups = f.grabber->lookups;
    struct Case {
        const char* command;
        QStringList titles;
        std::string copyright;
    };
    const Case cases[] = {
        {"&UPPER CASE", {"SESSION1 TRACK1", "SESSION1 TRACK2"}, "QUELT COPYRIGHT"},
        {"&lower case", {"session1 track1", "session1 track2"}, "quelt copyright"},
        {"Sentense case", {"Session1 track1", "Session1 track2"}, "Quelt copyright"},
        {"&Capitalize", {"Session1 Track1", "Session1 Track2"}, "Quelt Copyright"},
    };
    for (const Case& c : cases) {
        QAction* action = f.MenuAction(c.command);
        QVERIFY2(action, c.command);
        action->trigger();
        QCOMPARE(f.Column(2), c.titles);
        QCOMPARE(page.disc().tags().copyright[1], c.copyright);
        QCOMPARE(page.tagEdit(kTitle)->text(), c.titles[0]);
        QVERIFY(action->isChecked());
    }
    QCOMPARE(f.grabber->lookups, lookups);  // the case commands never ask FreeDB again
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

void RipperPageTest::formatAndPresetAreWrittenAtOnce_data() {
    QTest::addColumn<int>("storedFormat");
    QTest::addColumn<int>("storedPreset");
    QTest::addColumn<int>("shownFormat");
    QTest::addColumn<int>("shownPreset");
    QTest::addColumn<QString>("extension");
    QTest::newRow("stored rows") << 5 << 7 << 5 << 7 << ".mp3";
    QTest::newRow("rows outside the lists") << 99 << -3 << 0 << 0 << ".3gp";
}

void RipperPageTest::formatAndPresetAreWrittenAtOnce() {
    QFETCH(int, storedFormat);
    QFETCH(int, storedPreset);
    QFETCH(int, shownFormat);
    QFETCH(int, shownPreset);
    QFETCH(QString, extension);
    RipFixture f;
    f.context.profile.WriteInt("CDRIP", "FormatIndex", storedFormat);
    f.context.profile.WriteInt("CDRIP", "FParamIndex", storedPreset);
    f.MakeGrabber(f.Image("format", {100}));
    RipperPage& page = f.Page();
    QCOMPARE(page.formatBox()->currentIndex(), shownFormat);
    QCOMPARE(page.presetBox()->currentIndex(), shownPreset);
    QCOMPARE(QString::fromStdString(f.context.settings.ripExtension), extension);

    page.formatBox()->setCurrentIndex(9);
    page.presetBox()->setCurrentIndex(12);
    // Straight into the file, read back by a reader of its own.
    ProfileFile file(f.scratch.File("zqrprocfg.cfg"));
    QCOMPARE(file.ReadInt("CDRIP", "FormatIndex"), 9);
    QCOMPARE(file.ReadInt("CDRIP", "FParamIndex"), 12);
    QCOMPARE(file.ReadInt("CONVERT", "FormatIndex"), 0);
    QCOMPARE(page.formatRow(), 9);
    QCOMPARE(page.presetRow(), 12);
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
    QVERIFY(RipperPage::InTrackMenuZone({408, 26}));
    QVERIFY(RipperPage::InTrackMenuZone({0, 310}));
    QVERIFY(!RipperPage::InTrackMenuZone({409, 100}));
    QVERIFY(!RipperPage::InTrackMenuZone({100, 25}));
    QVERIFY(!RipperPage::InTrackMenuZone({100, 311}));

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
// drive of its own, selected and read; a cancelled choice keeps the drive in use.
void RipperPageTest::openDiscImageListsItAsADrive() {
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
    QCOMPARE(page.trackList()->topLevelItemCount(), 2);

    chosen = QString::fromStdString(f.Image("second", {100, 100, 100}));
    drives->setCurrentIndex(drives->count() - 1);
    QCOMPARE(asked, 2);
    QCOMPARE(drives->count(), 3);
    QCOMPARE(drives->currentIndex(), 1);
    QVERIFY(drives->itemText(1).contains("second.cue"));
    QCOMPARE(drives->itemText(2), QString("Open disc image..."));
    QVERIFY(f.WaitForLookup());
    QCOMPARE(page.trackList()->topLevelItemCount(), 3);

    const std::string notes = f.scratch.File("notes.txt");
    std::ofstream(notes) << "not an image";
    chosen = QString::fromStdString(notes);
    QAction* open = f.MenuAction("Open disc &image...");
    QVERIFY(open);
    open->trigger();
    QCOMPARE(asked, 3);
    QVERIFY(page.statusText()->text().startsWith("Cannot open the disc image: "));
    QCOMPARE(drives->count(), 3);
    QCOMPARE(page.trackList()->topLevelItemCount(), 3);
}

QUELT_GUI_TEST(RipperPageTest)
#include "test_ripper_page.moc"
