// The options pages: what each shows from the settings and what "OK" stores, the folder
// field, the custom naming pattern's dialog, the FreeDB component the FREEDB page hands its
// values to, the sheet's rule that a tab never opened stores nothing, and "Detect..."
// finding a drive's read offset with a disc the database (a loopback server) knows.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/common/output_folder_field.h"
#include "gui/options/convert_options_page.h"
#include "gui/options/custom_name_dialog.h"
#include "gui/options/freedb_options_page.h"
#include "gui/options/options_sheet.h"
#include "gui/options/rip_options_page.h"
#include "gui_test_main.h"
#include "support/accuraterip_fixture.h"
#include "support/fixtures.h"
#include "support/http_server.h"

using namespace quelt;

namespace {

QStringList Rows(const QTableWidget* rows) {
    QStringList texts;
    for (int row = 0; row < rows->rowCount(); ++row)
        texts << rows->item(row, 0)->text() + " " + rows->item(row, 1)->text();
    return texts;
}

}  // namespace

class OptionsPagesTest : public QObject {
    Q_OBJECT
  private slots:
    void ripAndConverterPagesShowAndStoreTheirFields();
    void customNameDialogWritesThePatternAtOnce();
    void freedbPageHandsItsValuesToTheComponent();
    void sheetStoresNothingOfUnopenedTabsOrOnCancel();
    void detectedOffsetIsStoredForTheDrive();
};

void OptionsPagesTest::ripAndConverterPagesShowAndStoreTheirFields() {
    Settings settings;
    settings.rip.outputDirectory = "/data/rips/";
    settings.rip.outputNameIndex = 11;
    settings.rip.ejectAfterRip = 1;
    settings.ripExtension = ".mp3";
    RipOptionsPage page(settings);
    page.Load();
    QCOMPARE(page.nameList()->count(), 12);
    QCOMPARE(page.nameList()->itemText(11), QString("custom by yourself"));
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/data/rips/"));
    QVERIFY(page.ejectBox()->isChecked());
    QVERIFY(!page.lockTrayBox()->isChecked());
    // The custom pattern's button serves only the custom template; its dialog stores at once.
    QVERIFY(page.customButton()->isEnabled());
    page.SetDialogRunner([](QDialog& dialog) {
        auto* names = qobject_cast<CustomNameDialog*>(&dialog);
        QVERIFY(names);
        names->fieldList()->setCurrentIndex(4);  // Genre
        names->Add();
        names->reject();
    });
    QTest::mouseClick(page.customButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|3|1|4|"));
    page.nameList()->setCurrentIndex(3);
    QVERIFY(!page.customButton()->isEnabled());

    page.SetFolderChooser([](QWidget*) { return QString("/media/music"); });
    QTest::mouseClick(page.browseButton(), Qt::LeftButton);
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/media/music/"));
    page.SetFolderChooser([](QWidget*) { return QString(); });  // cancelled
    page.Browse();
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/media/music/"));
    QCOMPARE(settings.rip.outputDirectory, std::string("/data/rips/"));  // only "OK" stores
    page.ejectBox()->setChecked(false);
    page.lockTrayBox()->setChecked(true);
    page.Store();
    QCOMPARE(settings.rip.outputDirectory, std::string("/media/music/"));
    QCOMPARE(settings.rip.outputNameIndex, 3);
    QCOMPARE(settings.rip.ejectAfterRip, 0);
    QCOMPARE(settings.rip.lockTray, 1);
    // What is typed is stored as a folder; an empty folder means the default one.
    QCOMPARE(StoredOutputFolder("~/Rips"), (QDir::homePath() + "/Rips/").toStdString());
    QCOMPARE(StoredOutputFolder("   "), DefaultOutputFolder());

    settings.convert.bOutputDirectory = 1;
    settings.convert.outputDirectory = "";
    settings.convert.jobs = 3;
    ConvertOptionsPage convert(settings);
    convert.Load();
    QCOMPARE(settings.convert.outputDirectory, DefaultOutputFolder());  // filled on opening
    QCOMPARE(convert.jobsBox()->value(), 3);
    convert.jobsBox()->setValue(0);
    QCOMPARE(convert.jobsBox()->text(), QString("One per processor core"));
    convert.outputDirectoryBox()->setChecked(false);
    QVERIFY(!convert.outputDirectoryEdit()->isEnabled());
    QVERIFY(!convert.browseButton()->isEnabled());
    convert.outputDirectoryEdit()->setText("/b");
    convert.Store();
    QCOMPARE(settings.convert.bOutputDirectory, 0);
    QCOMPARE(settings.convert.outputDirectory, std::string("/b/"));
    QCOMPARE(settings.convert.jobs, 0);
}

// The rows come from the stored pattern (unknown fields dropped) and every command writes
// the pattern at once; the preview's own rules are the naming core's tests.
void OptionsPagesTest::customNameDialogWritesThePatternAtOnce() {
    Settings settings;
    settings.rip.outputNameCustom = "0|9|x|-1|2||";
    settings.ripExtension = ".wav";
    CustomNameDialog dialog(settings);
    QCOMPARE(dialog.windowTitle(), QString(" Filename settings ..."));
    QCOMPARE(Rows(dialog.patternList()), QStringList({"01 Track No.", "02 Artist"}));
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|"));
    dialog.separatorList()->setCurrentIndex(2);
    QCOMPARE(settings.rip.outputNameSeparator, 2);

    dialog.fieldList()->setCurrentIndex(1);  // Title
    QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|1|"));
    dialog.patternList()->selectRow(2);
    QTest::mouseClick(dialog.moveUpButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.moveUpButton(), Qt::LeftButton);  // the moved row stays selected
    QTest::mouseClick(dialog.moveUpButton(), Qt::LeftButton);  // already at the top
    QCOMPARE(Rows(dialog.patternList()), QStringList({"01 Title", "02 Track No.", "03 Artist"}));
    QCOMPARE(settings.rip.outputNameCustom, std::string("1|0|2|"));
    QCOMPARE(dialog.preview()->text(), QString("Title-01-Artist.wav"));
    QTest::mouseClick(dialog.moveDownButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|1|2|"));
    dialog.patternList()->selectRow(0);
    QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("1|2|"));
    QCOMPARE(dialog.preview()->text(), QString("Title-Artist.wav"));

    QTest::mouseClick(dialog.clearButton(), Qt::LeftButton);
    QCOMPARE(dialog.patternList()->rowCount(), 0);
    QCOMPARE(settings.rip.outputNameCustom, std::string());
    // Closing on an empty list would leave every ripped track the same empty name.
    dialog.reject();
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|3|1|"));
}

// The server selection reaches the component at once; the rest with "OK"; an unchecked
// proxy stays in the settings but never reaches the component.
void OptionsPagesTest::freedbPageHandsItsValuesToTheComponent() {
    std::unique_ptr<FreedbInfo> freedb = CreateFreedbInfo();
    Settings settings;
    settings.rip.freedbServer = 7;
    settings.rip.freedbProxy = "cache.lan:8080";
    FreedbOptionsPage page(settings, *freedb);
    page.Load();
    QCOMPARE(page.serverList()->count(), kFreedbServerCount);
    QCOMPARE(freedb->ServerIndex(), 7);
    QCOMPARE(page.serverList()->currentText(), QString::fromStdString(freedb->ServerName()));
    QCOMPARE(page.proxyEdit()->text(), QString("cache.lan:8080"));
    QVERIFY(!page.proxyEdit()->isEnabled());
    page.freedbBox()->setChecked(true);
    page.portEdit()->setText("8080");
    page.timeOutEdit()->setText("99999999999");
    page.lookupSourceList()->setCurrentIndex(int(LookupSource::kMusicBrainzThenFreedb));
    page.musicBrainzServerEdit()->setText(" mb.lan:5000 ");
    page.Store();
    QCOMPARE(settings.rip.freedb, 1);
    QCOMPARE(settings.rip.freedbPort, 8080);
    QCOMPARE(settings.rip.freedbTimeOut, 2147483647);
    QCOMPARE(settings.rip.lookupSource, LookupSource::kMusicBrainzThenFreedb);
    QCOMPARE(settings.rip.musicBrainzServer, std::string("mb.lan:5000"));
    QCOMPARE(freedb->Port(), 8080);
    QCOMPARE(freedb->Proxy(), std::string());
    page.proxyBox()->setChecked(true);
    page.Store();
    QCOMPARE(settings.rip.useFreedbProxy, 1);
    QCOMPARE(freedb->Proxy(), std::string("cache.lan:8080"));
}

void OptionsPagesTest::sheetStoresNothingOfUnopenedTabsOrOnCancel() {
    Settings settings;
    settings.rip.freedbPort = 777;
    std::unique_ptr<FreedbInfo> freedb = CreateFreedbInfo();
    freedb->SetPort(8880);
    for (bool cancel : {false, true}) {
        auto* rip = new RipOptionsPage(settings);
        auto* server = new FreedbOptionsPage(settings, *freedb);
        OptionsSheet sheet({{"CD Ripper", rip}, {"FREEDB", server}});
        if (cancel) sheet.tabs()->setCurrentIndex(1);
        rip->outputDirectoryEdit()->setText(cancel ? "/c" : "/b");
        server->portEdit()->setText("8080");
        if (cancel) {
            sheet.reject();
        } else {
            sheet.accept();
        }
        QCOMPARE(settings.rip.outputDirectory, std::string("/b/"));
        QCOMPARE(settings.rip.freedbPort, 777);
        QCOMPARE(freedb->Port(), cancel ? 777 : 8880);  // handed over when the tab opened
    }
}

void OptionsPagesTest::detectedOffsetIsStoredForTheDrive() {
    test::ScratchDir dir;
    const std::string served = dir.File("served");
    std::filesystem::create_directories(served);
    test::HttpServer server(served);
    QVERIFY(server.running());
    test::ReferenceOf(test::MakeShiftedImage(dir.path().string(), "plain", {200, 150}), served,
                      "--confidence 5");
    const std::string shifted =
        test::MakeShiftedImage(dir.path().string(), "shifted", {200, 150}, -472);
    CdGrabberOptions options;
    options.listDevices = false;
    options.watchMedia = false;
    std::unique_ptr<CdGrabber> grabber = CreateCdGrabber(options);
    grabber->Open();
    grabber->SelectDrive(grabber->AddImage(shifted));
    grabber->RefreshDisc();

    Settings settings;
    settings.rip.accurateRipServer = server.Url();
    RipOptionsPage page(settings, grabber.get());
    QString outcome;
    page.SetOutcomeShower([&](const QString& text) { outcome = text; });
    page.Load();
    QCOMPARE(page.offsetBox()->value(), 0);
    page.detectButton()->click();
    QVERIFY2(outcome.startsWith("Read offset: -472 (track 01"), qPrintable(outcome));
    QCOMPARE(page.offsetBox()->value(), -472);
    page.accurateRipBox()->setChecked(true);
    page.Store();
    QCOMPARE(settings.rip.accurateRip, 1);
    QCOMPARE(ReadOffsetFor(settings.rip, grabber->DriveText1(), grabber->DriveText2()), -472);
    QCOMPARE(ReadOffsetFor(settings.rip, "Other", "Drive"), 0);
}

QUELT_GUI_TEST(OptionsPagesTest)
#include "test_options_pages.moc"
