// The "CD Ripper" options page: what it shows from the settings, what "OK" stores, the
// folder browser and the custom pattern's button; and, with the FREEDB page, the sheet's
// rule that a tab never opened stores nothing.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <memory>

#include "core/rip/freedb_info.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/options/custom_name_dialog.h"
#include "gui/options/freedb_options_page.h"
#include "gui/options/options_sheet.h"
#include "gui/options/rip_options_page.h"
#include "gui_test_main.h"

using namespace quelt;

class RipOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheStoredValuesAndStoresChanges();
    void folderFieldIsStoredAsAFolder_data();
    void folderFieldIsStoredAsAFolder();
    void customButtonOnlyForTheCustomTemplate();
    void customButtonEditsThePatternAtOnce();
    void sheetStoresOpenedTabsOnOkAndNothingOnCancel();
};

void RipOptionsTest::showsTheStoredValuesAndStoresChanges() {
    Settings settings;
    settings.rip.outputDirectory = "/data/rips/";
    settings.rip.outputNameIndex = 6;
    settings.rip.ejectAfterRip = 1;
    settings.rip.createM3U = 1;
    RipOptionsPage page(settings);
    page.Load();
    QCOMPARE(page.nameList()->count(), 12);
    QCOMPARE(page.nameList()->itemText(2), QString("<artist> - <album>\\<number>. <title>"));
    QCOMPARE(page.nameList()->itemText(10), QString("<artist> - <album> - <number> - <title> "));
    QCOMPARE(page.nameList()->itemText(11), QString("custom by yourself"));
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/data/rips/"));
    QCOMPARE(page.nameList()->currentIndex(), 6);
    QVERIFY(page.ejectBox()->isChecked());
    QVERIFY(!page.metadataBox()->isChecked());
    QVERIFY(page.playlistBox()->isChecked());
    QVERIFY(!page.lockTrayBox()->isChecked());
    QVERIFY(!page.replayGainBox()->isChecked());
    QCOMPARE(page.metadataBox()->text(), QString("Always add metadata "));

    page.nameList()->setCurrentIndex(9);
    page.ejectBox()->setChecked(false);
    page.metadataBox()->setChecked(true);
    page.playlistBox()->setChecked(false);
    page.lockTrayBox()->setChecked(true);
    page.replayGainBox()->setChecked(true);
    page.Store();
    QCOMPARE(settings.rip.outputDirectory, std::string("/data/rips/"));
    QCOMPARE(settings.rip.outputNameIndex, 9);
    QCOMPARE(settings.rip.ejectAfterRip, 0);
    QCOMPARE(settings.rip.metadata, 1);
    QCOMPARE(settings.rip.createM3U, 0);
    QCOMPARE(settings.rip.lockTray, 1);
    QCOMPARE(settings.rip.replayGain, 1);

    page.SetFolderChooser([](QWidget*) { return QString("/media/music"); });
    QTest::mouseClick(page.browseButton(), Qt::LeftButton);
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/media/music/"));
    page.SetFolderChooser([](QWidget*) { return QString(); });  // cancelled
    page.Browse();
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/media/music/"));
    QCOMPARE(settings.rip.outputDirectory, std::string("/data/rips/"));  // only "OK" stores
}

void RipOptionsTest::folderFieldIsStoredAsAFolder_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("separator added") << "/home/me/Rips"
                                     << "/home/me/Rips/";
    QTest::newRow("separator kept") << "/home/me/Rips/"
                                    << "/home/me/Rips/";
    QTest::newRow("home folder") << "~/Rips" << QDir::homePath() + "/Rips/";
    QTest::newRow("empty means the default") << "" << QString::fromStdString(DefaultOutputFolder());
    QTest::newRow("blanks mean the default")
        << "   " << QString::fromStdString(DefaultOutputFolder());
}

// The field both folder pages share: what is typed is stored as a folder; an empty folder
// setting shows, and keeps, the default folder.
void RipOptionsTest::folderFieldIsStoredAsAFolder() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Settings settings;
    RipOptionsPage page(settings);
    page.Load();
    QCOMPARE(page.outputDirectoryEdit()->text(), QString::fromStdString(DefaultOutputFolder()));
    QCOMPARE(settings.rip.outputDirectory, DefaultOutputFolder());
    page.outputDirectoryEdit()->setText(typed);
    page.Store();
    QCOMPARE(QString::fromStdString(settings.rip.outputDirectory), stored);
}

void RipOptionsTest::customButtonOnlyForTheCustomTemplate() {
    Settings settings;
    settings.rip.outputNameIndex = 11;
    RipOptionsPage page(settings);
    page.Load();
    QVERIFY(page.customButton()->isEnabled());
    page.nameList()->setCurrentIndex(3);
    QVERIFY(!page.customButton()->isEnabled());
    page.nameList()->setCurrentIndex(11);
    QVERIFY(page.customButton()->isEnabled());

    // An index beyond the list selects nothing and is stored as -1, which the rip start
    // fixes up into a template.
    settings.rip.outputNameIndex = 13;
    RipOptionsPage other(settings);
    other.Load();
    QCOMPARE(other.nameList()->currentIndex(), -1);
    QVERIFY(!other.customButton()->isEnabled());
    other.Store();
    QCOMPARE(settings.rip.outputNameIndex, -1);
    FixUpRipNameTemplate(settings.rip);
    QCOMPARE(settings.rip.outputNameIndex, 3);
}

void RipOptionsTest::customButtonEditsThePatternAtOnce() {
    Settings settings;
    settings.rip.outputNameIndex = 11;
    settings.ripExtension = ".mp3";
    RipOptionsPage page(settings);
    page.Load();
    int runs = 0;
    page.SetDialogRunner([&](QDialog& dialog) {
        ++runs;
        auto* names = qobject_cast<CustomNameDialog*>(&dialog);
        QVERIFY(names);
        names->fieldList()->setCurrentIndex(4);  // Genre
        names->Add();
        names->separatorList()->setCurrentIndex(2);
        QCOMPARE(names->preview()->text(), QString("01-Artist-Album-Title-Genre.mp3"));
        names->reject();
    });
    QTest::mouseClick(page.customButton(), Qt::LeftButton);
    QCOMPARE(runs, 1);
    // Stored by the dialog itself, without the sheet's "OK".
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|3|1|4|"));
}

// A tab never opened stores nothing, nor hands anything to the FreeDB component; "Cancel"
// stores nothing at all.
void RipOptionsTest::sheetStoresOpenedTabsOnOkAndNothingOnCancel() {
    Settings settings;
    settings.rip.outputDirectory = "/a/";
    settings.rip.freedbPort = 777;
    std::unique_ptr<FreedbInfo> freedb = CreateFreedbInfo();
    freedb->SetPort(8880);
    for (bool open : {false, true}) {
        auto* rip = new RipOptionsPage(settings);
        auto* server = new FreedbOptionsPage(settings, *freedb);
        OptionsSheet sheet({{"CD Ripper", rip}, {"FREEDB", server}});
        if (open) sheet.tabs()->setCurrentIndex(1);
        rip->outputDirectoryEdit()->setText("/b");
        server->portEdit()->setText("8080");
        sheet.reject();
        QCOMPARE(settings.rip.outputDirectory, std::string("/a/"));
        QCOMPARE(settings.rip.freedbPort, 777);
        QCOMPARE(freedb->Port(), open ? 777 : 8880);  // handed over when the tab opened
    }

    auto* rip = new RipOptionsPage(settings);
    auto* server = new FreedbOptionsPage(settings, *freedb);
    OptionsSheet sheet({{"CD Ripper", rip}, {"FREEDB", server}});
    rip->outputDirectoryEdit()->setText("/srv/rips");
    rip->lockTrayBox()->setChecked(true);
    sheet.accept();
    QVERIFY(!sheet.Opened(1));
    QCOMPARE(settings.rip.outputDirectory, std::string("/srv/rips/"));
    QCOMPARE(settings.rip.lockTray, 1);
    QCOMPARE(settings.rip.freedbPort, 777);

    auto* again = new FreedbOptionsPage(settings, *freedb);
    OptionsSheet second({{"CD Ripper", new RipOptionsPage(settings)}, {"FREEDB", again}});
    second.tabs()->setCurrentIndex(1);
    again->portEdit()->setText("8080");
    second.accept();
    QCOMPARE(settings.rip.freedbPort, 8080);
    QCOMPARE(freedb->Port(), 8080);
}

QUELT_GUI_TEST(RipOptionsTest)
#include "test_rip_options.moc"
