// The " Filename settings ..." dialog: rows from the stored pattern, the list commands, the
// pattern they write at once, and the preview.
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "core/naming/templates.h"
#include "core/settings/settings.h"
#include "gui/options/custom_name_dialog.h"
#include "gui_test_main.h"

using namespace quelt;

namespace {

QStringList Column(const QTableWidget* rows, int column) {
    QStringList texts;
    for (int row = 0; row < rows->rowCount(); ++row) texts << rows->item(row, column)->text();
    return texts;
}

}  // namespace

class CustomNameDialogTest : public QObject {
    Q_OBJECT
  private slots:
    void showsItsListsTheStoredPatternAndPreview();
    void addMoveAndDeleteRewriteThePattern();
    void moveAtTheEndsAndWithoutSelectionChangesNothing();
    void clearEmptiesThePatternUntilTheDialogCloses();
    void damagedPatternKeepsOnlyKnownFields();
};

// The preview's own rules (separators between fields only) are the naming core's tests.
void CustomNameDialogTest::showsItsListsTheStoredPatternAndPreview() {
    Settings settings;
    settings.ripExtension = ".mp3";
    settings.rip.outputNameSeparator = 3;
    CustomNameDialog dialog(settings);
    QCOMPARE(dialog.windowTitle(), QString(" Filename settings ..."));
    QStringList fields, separators;
    for (int i = 0; i < dialog.fieldList()->count(); ++i) fields << dialog.fieldList()->itemText(i);
    for (int i = 0; i < dialog.separatorList()->count(); ++i)
        separators << dialog.separatorList()->itemText(i);
    QCOMPARE(fields,
             QStringList({"Track No.", "Title", "Artist", "Album", "Genre", "Bitrate", "Sample"}));
    QCOMPARE(separators, QStringList({"No", " ", "-", ".", "_"}));
    QCOMPARE(dialog.patternList()->horizontalHeaderItem(1)->text(), QString("Name Cell"));
    // An empty pattern starts with four rows, written at once; the stored separator shows.
    QCOMPARE(Column(dialog.patternList(), 0), QStringList({"01", "02", "03", "04"}));
    QCOMPARE(Column(dialog.patternList(), 1),
             QStringList({"Track No.", "Artist", "Album", "Title"}));
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|3|1|"));
    QCOMPARE(dialog.separatorList()->currentIndex(), 3);
    QCOMPARE(dialog.preview()->text(), QString("01.Artist.Album.Title.mp3"));

    settings.ripExtension = ".flac";
    dialog.separatorList()->setCurrentIndex(1);
    QCOMPARE(dialog.preview()->text(), QString("01 Artist Album Title.flac"));
    // The choice is stored with the pattern, and the ripped names follow it.
    QCOMPARE(settings.rip.outputNameSeparator, 1);
    QCOMPARE(QString::fromStdString(
                 BuildRipName(11, "7|Bells|Quelt Ensemble|Morning|Folk|128|44100|",
                              settings.rip.outputNameCustom, settings.rip.outputNameSeparator)),
             QString("07 Quelt Ensemble Morning Bells"));
}

void CustomNameDialogTest::addMoveAndDeleteRewriteThePattern() {
    Settings settings;
    settings.rip.outputNameCustom = "0|2|";
    settings.ripExtension = ".wav";
    CustomNameDialog dialog(settings);
    dialog.separatorList()->setCurrentIndex(2);

    dialog.fieldList()->setCurrentIndex(1);  // Title
    QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|1|"));
    QCOMPARE(Column(dialog.patternList(), 0), QStringList({"01", "02", "03"}));

    dialog.patternList()->selectRow(2);
    QTest::mouseClick(dialog.moveUpButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|1|2|"));
    QCOMPARE(Column(dialog.patternList(), 0), QStringList({"01", "02", "03"}));
    QCOMPARE(Column(dialog.patternList(), 1), QStringList({"Track No.", "Title", "Artist"}));
    QCOMPARE(dialog.preview()->text(), QString("01-Title-Artist.wav"));

    // The moved row stays selected: a second press moves it on.
    QTest::mouseClick(dialog.moveUpButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("1|0|2|"));
    QTest::mouseClick(dialog.moveDownButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.moveDownButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|1|"));
    QCOMPARE(dialog.preview()->text(), QString("01-Artist-Title.wav"));

    dialog.patternList()->selectRow(0);
    QTest::mouseClick(dialog.deleteButton(), Qt::LeftButton);
    QCOMPARE(settings.rip.outputNameCustom, std::string("2|1|"));
    QCOMPARE(Column(dialog.patternList(), 0), QStringList({"01", "02"}));
    QCOMPARE(dialog.preview()->text(), QString("Artist-Title.wav"));

    // OK only closes: the pattern of the last change stays.
    dialog.accept();
    QCOMPARE(settings.rip.outputNameCustom, std::string("2|1|"));
}

void CustomNameDialogTest::moveAtTheEndsAndWithoutSelectionChangesNothing() {
    Settings settings;
    settings.rip.outputNameCustom = "3|4|5|";
    CustomNameDialog dialog(settings);
    dialog.MoveUp();
    dialog.MoveDown();
    dialog.Delete();
    QCOMPARE(settings.rip.outputNameCustom, std::string("3|4|5|"));
    dialog.patternList()->selectRow(0);
    dialog.MoveUp();
    QCOMPARE(settings.rip.outputNameCustom, std::string("3|4|5|"));
    dialog.patternList()->selectRow(2);
    dialog.MoveDown();
    QCOMPARE(settings.rip.outputNameCustom, std::string("3|4|5|"));
    QCOMPARE(dialog.patternList()->rowCount(), 3);
}

void CustomNameDialogTest::clearEmptiesThePatternUntilTheDialogCloses() {
    Settings settings;
    settings.rip.outputNameCustom = "1|2|";
    settings.ripExtension = ".mp3";
    CustomNameDialog dialog(settings);
    QTest::mouseClick(dialog.clearButton(), Qt::LeftButton);
    QCOMPARE(dialog.patternList()->rowCount(), 0);
    QCOMPARE(settings.rip.outputNameCustom, std::string());
    QCOMPARE(dialog.preview()->text(), QString(".mp3"));
    // Closing on an empty list would leave every ripped track the same empty name.
    dialog.reject();
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|2|3|1|"));
}

void CustomNameDialogTest::damagedPatternKeepsOnlyKnownFields() {
    Settings settings;
    settings.rip.outputNameCustom = "0|9|x|-1|3||2|";
    CustomNameDialog dialog(settings);
    QCOMPARE(Column(dialog.patternList(), 1), QStringList({"Track No.", "Album"}));
    QCOMPARE(settings.rip.outputNameCustom, std::string("0|3|"));
}

QUELT_GUI_TEST(CustomNameDialogTest)
#include "test_custom_name_dialog.moc"
