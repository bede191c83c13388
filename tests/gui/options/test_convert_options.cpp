// The "File Converter" options page: what it shows from the settings and what "OK" stores.
// Its output folder field is the ripper page's and is tested there.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/options/convert_options_page.h"
#include "gui_test_main.h"

using namespace quelt;

class ConvertOptionsTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheStoredValuesAndStoresChanges();
    void uncheckedOutputDirectoryDisablesEditAndStillStoresIt();
    void unselectedListsStoreMinusOneAndEmptyFolderTakesTheDefault();
};

void ConvertOptionsTest::showsTheStoredValuesAndStoresChanges() {
    Settings settings;
    settings.convert = {true, "/data/out/", true, 4, true, IfExists::kSkip, true};
    settings.convert.jobs = 3;
    settings.convert.replayGain = 1;
    ConvertOptionsPage page(settings);
    page.Load();
    QCOMPARE(page.nameList()->count(), 12);
    QCOMPARE(page.nameList()->itemText(11), QString("<artist> - <album> - <number> - <title> "));
    QCOMPARE(page.ifExistsList()->itemText(0), QString("create new file 'filename(n)'"));
    QCOMPARE(page.ifExistsList()->itemText(2), QString("skin file"));
    QVERIFY(page.outputDirectoryBox()->isChecked());
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/data/out/"));
    QVERIFY(page.renameBox()->isChecked());
    QCOMPARE(page.nameList()->currentIndex(), 4);
    QVERIFY(page.metadataBox()->isChecked());
    QCOMPARE(page.ifExistsList()->currentIndex(), 2);
    QVERIFY(page.deleteSourceBox()->isChecked());
    QCOMPARE(page.jobsBox()->value(), 3);
    QVERIFY(page.replayGainBox()->isChecked());

    page.renameBox()->setChecked(false);
    QVERIFY(!page.nameList()->isEnabled());
    page.metadataBox()->setChecked(false);
    page.ifExistsList()->setCurrentIndex(1);
    page.deleteSourceBox()->setChecked(false);
    page.jobsBox()->setValue(0);
    QCOMPARE(page.jobsBox()->text(), QString("One per processor core"));
    page.replayGainBox()->setChecked(false);
    page.Store();
    QCOMPARE(settings.convert.bOutputNameIndex, 0);
    QCOMPARE(settings.convert.outputNameIndex, 4);
    QCOMPARE(settings.convert.metadata, 0);
    QCOMPARE(settings.convert.ifExists, IfExists::kOverwrite);
    QCOMPARE(settings.convert.deleteSource, 0);
    QCOMPARE(settings.convert.jobs, 0);
    QCOMPARE(settings.convert.replayGain, 0);
}

void ConvertOptionsTest::uncheckedOutputDirectoryDisablesEditAndStillStoresIt() {
    Settings settings;
    settings.convert.bOutputDirectory = 1;
    settings.convert.outputDirectory = "/a/";
    ConvertOptionsPage page(settings);
    page.Load();
    page.outputDirectoryBox()->setChecked(false);
    QVERIFY(!page.outputDirectoryEdit()->isEnabled());
    QVERIFY(!page.browseButton()->isEnabled());
    page.outputDirectoryEdit()->setText("/b");
    page.Store();
    QCOMPARE(settings.convert.bOutputDirectory, 0);
    QCOMPARE(settings.convert.outputDirectory, std::string("/b/"));
}

void ConvertOptionsTest::unselectedListsStoreMinusOneAndEmptyFolderTakesTheDefault() {
    Settings settings;
    settings.convert.outputNameIndex = 40;  // no such template: nothing is selected
    settings.convert.ifExists = IfExists{-3};
    ConvertOptionsPage page(settings);
    page.Load();
    QCOMPARE(page.nameList()->currentIndex(), -1);
    QCOMPARE(page.ifExistsList()->currentIndex(), -1);
    // The empty folder setting took the default folder on opening.
    QCOMPARE(settings.convert.outputDirectory, DefaultOutputFolder());
    page.Store();
    QCOMPARE(settings.convert.outputNameIndex, -1);
    QCOMPARE(settings.convert.ifExists, IfExists{-1});
}

QUELT_GUI_TEST(ConvertOptionsTest)
#include "test_convert_options.moc"
