// The "File Converter" options page: what it shows from the settings and what "OK" stores.
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
    void emptyOutputFolderShowsTheDefaultAndKeepsIt();
    void showsTheStoredValues();
    void missingTrailingSeparatorIsAdded();
    void emptyFolderStoresTheDefaultFolder();
    void uncheckedOutputDirectoryDisablesEditAndStillStoresIt();
    void unselectedListsStoreMinusOne();
    void browseFillsTheEditWithASeparator();
};

void ConvertOptionsTest::emptyOutputFolderShowsTheDefaultAndKeepsIt() {
    Settings settings;
    ConvertOptionsPage page(settings);
    page.Load();
    const QString expected = QString::fromStdString(DefaultOutputFolder());
    QVERIFY(expected.endsWith("/zqr_output/"));
    QCOMPARE(page.outputDirectoryEdit()->text(), expected);
    // Left in the settings although nothing was confirmed.
    QCOMPARE(QString::fromStdString(settings.convert.outputDirectory), expected);
}

void ConvertOptionsTest::showsTheStoredValues() {
    Settings settings;
    settings.convert = {true, "/data/out/", true, 4, true, IfExists::kSkip, true};
    settings.convert.jobs = 3;
    settings.convert.replayGain = 1;
    ConvertOptionsPage page(settings);
    page.Load();
    QCOMPARE(page.nameList()->count(), 12);
    QCOMPARE(page.nameList()->itemText(11), QString("<artist> - <album> - <number> - <title> "));
    QCOMPARE(page.ifExistsList()->count(), 3);
    QCOMPARE(page.ifExistsList()->itemText(0), QString("create new file 'filename(n)'"));
    QCOMPARE(page.ifExistsList()->itemText(2), QString("skin file"));
    QVERIFY(page.outputDirectoryBox()->isChecked());
    QVERIFY(page.outputDirectoryEdit()->isEnabled());
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/data/out/"));
    QVERIFY(page.renameBox()->isChecked());
    QVERIFY(page.nameList()->isEnabled());
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

void ConvertOptionsTest::missingTrailingSeparatorIsAdded() {
    Settings settings;
    settings.convert.bOutputDirectory = 1;
    ConvertOptionsPage page(settings);
    page.Load();
    page.outputDirectoryEdit()->setText("/home/me/Converted");
    page.Store();
    QCOMPARE(settings.convert.outputDirectory, std::string("/home/me/Converted/"));
    QCOMPARE(settings.convert.bOutputDirectory, 1);
}

void ConvertOptionsTest::emptyFolderStoresTheDefaultFolder() {
    Settings settings;
    ConvertOptionsPage page(settings);
    page.Load();
    // Cleared or blank, the edit means the default folder, never the file system's root.
    for (const char* text : {"", "   "}) {
        page.outputDirectoryEdit()->setText(text);
        page.Store();
        QCOMPARE(settings.convert.outputDirectory, DefaultOutputFolder());
    }
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

void ConvertOptionsTest::unselectedListsStoreMinusOne() {
    Settings settings;
    settings.convert.outputNameIndex = 40;  // no such template: nothing is selected
    settings.convert.ifExists = IfExists{-3};
    ConvertOptionsPage page(settings);
    page.Load();
    QCOMPARE(page.nameList()->currentIndex(), -1);
    QCOMPARE(page.ifExistsList()->currentIndex(), -1);
    page.Store();
    QCOMPARE(settings.convert.outputNameIndex, -1);
    QCOMPARE(settings.convert.ifExists, IfExists{-1});
}

void ConvertOptionsTest::browseFillsTheEditWithASeparator() {
    Settings settings;
    settings.convert.bOutputDirectory = 1;
    ConvertOptionsPage page(settings);
    page.Load();
    page.SetFolderChooser([](QWidget*) { return QString("/media/music"); });
    QTest::mouseClick(page.browseButton(), Qt::LeftButton);
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/media/music/"));
    page.SetFolderChooser([](QWidget*) { return QString(); });  // cancelled
    page.Browse();
    QCOMPARE(page.outputDirectoryEdit()->text(), QString("/media/music/"));
}

QUELT_GUI_TEST(ConvertOptionsTest)
#include "test_convert_options.moc"
