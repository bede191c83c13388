// The converter page: what adding files and folders lists, the rows and summary, removing
// and clearing, tag edits reaching the right row, the format and preset written at once,
// the empty list's message, and a conversion started from the start button running to its
// end in the progress window.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "core/rip/genre_list.h"
#include "gui/convert/converter_page.h"
#include "gui_fixture.h"
#include "gui_test_main.h"

using namespace quelt;

namespace {

struct Fixture : test::GuiFixture {
    Fixture() : genres(CreateGenreList()) {}
    ConverterPage& Page() {
        if (!page) {
            page = std::make_unique<ConverterPage>(skin, context, genres.get());
            page->setStatusLine(&status);
        }
        return *page;
    }
    QStringList Listed() {
        QStringList names;
        for (int i = 0; i < Page().fileList()->topLevelItemCount(); ++i)
            names << QFileInfo(Page().fileList()->topLevelItem(i)->text(1)).fileName();
        return names;
    }
    void Select(int row) {
        Page().fileList()->setCurrentItem(Page().fileList()->topLevelItem(row));
    }
    void Click(int id) { QTest::mouseClick(Page().control<QAbstractButton>(id), Qt::LeftButton); }

    std::unique_ptr<GenreList> genres;
    QLabel status;
    std::unique_ptr<ConverterPage> page;
};

}  // namespace

class ConverterPageTest : public QObject {
    Q_OBJECT
  private slots:
    void addButtonsListMediaFilesOnly();
    void rowsTagsAndRemovalFollowTheSelection();
    void startButtonRunsAConversionToDone();
};

// "Add folder" takes the media files directly in the folder, in name order without case;
// which files read as media is the core's tests.
void ConverterPageTest::addButtonsListMediaFilesOnly() {
    Fixture f;
    QVERIFY(!f.Tone("music/b.mp3").isEmpty());
    QVERIFY(!f.Tone("music/A.FLAC").isEmpty());
    QVERIFY(!f.Tone("music/sub/d.mp3").isEmpty());
    QVERIFY(test::WriteFile(f.scratch.File("music/c.txt"), "not audio\n"));
    const QString e = f.Tone("e.ogg");
    QStringList chosenFiles{e};
    QString chosenFolder = QString::fromStdString(f.scratch.File("music"));
    f.Page().SetFileChooser([&](QWidget*) { return chosenFiles; });
    f.Page().SetFolderChooser([&](QWidget*) { return chosenFolder; });
    f.Click(1106);  // Add folder
    f.Click(1105);  // Add files
    chosenFiles.clear();  // cancelled
    chosenFolder.clear();
    f.Click(1105);
    f.Click(1106);
    QCOMPARE(f.Listed(), (QStringList{"A.FLAC", "b.mp3", "e.ogg"}));
    QVERIFY(f.prompter.messages.empty());
}

// The rows and summary; the tag fields show and edit the selected row only; removing
// selects the row above; a preview holds the page; the format and preset are written to the
// settings file at once (stored rows outside the lists show the first rows).
void ConverterPageTest::rowsTagsAndRemovalFollowTheSelection() {
    Fixture f;
    f.context.profile.WriteInt("CONVERT", "FormatIndex", 99);
    f.context.profile.WriteInt("CONVERT", "FParamIndex", -1);
    ConverterPage& page = f.Page();
    QCOMPARE(page.formatBox()->currentIndex(), 0);
    QCOMPARE(page.presetBox()->currentIndex(), 0);
    page.formatBox()->setCurrentIndex(9);
    page.presetBox()->setCurrentIndex(40);
    QCOMPARE(f.context.profile.ReadInt("CONVERT", "FormatIndex"), 9);
    QCOMPARE(f.context.profile.ReadInt("CONVERT", "FParamIndex"), 40);

    const QString a = f.Tone("a.flac", 2.0, {{"artist", "First Artist"}, {"title", "One"}});
    const QString b = f.Tone("b.flac", 3.0, {{"artist", "Second"}, {"genre", "Chiptune Jazz"}});
    page.AddFiles({a, b, f.Tone("c.wav", 1.0)});
    QTreeWidget* list = page.fileList();
    QCOMPARE(list->topLevelItem(0)->text(1), a);
    QCOMPARE(list->topLevelItem(1)->text(0), QString("02"));
    QCOMPARE(list->topLevelItem(1)->text(2), QString("00:00:03"));
    QCOMPARE(page.summary()->text(),
             QString("Track Count: 03 ,          Total Duration: 00:00:06"));
    // With no current entry the refresh selects the last row.
    QCOMPARE(page.currentItem(), 2);
    QCOMPARE(f.status.text(), QString("No.: 03, second: 00:00:00.000"));

    f.Select(0);
    QCOMPARE(page.tagEdit(1115)->text(), QString("First Artist"));
    QCOMPARE(page.tagEdit(1117)->text(), QString("One"));
    page.tagEdit(1117)->clear();
    QTest::keyClicks(page.tagEdit(1117), "Renamed");
    page.genreBox()->setCurrentIndex(17);
    QCOMPARE(page.items()[0].title, std::string("Renamed"));
    QCOMPARE(page.items()[0].genre, f.genres->GenreName(17));
    // The other row shows its own tags; a genre outside the list shows as the file's text.
    f.Select(1);
    QCOMPARE(page.tagEdit(1117)->text(), QString());
    QCOMPARE(page.genreBox()->currentIndex(), -1);
    QCOMPARE(page.genreBox()->placeholderText(), QString("Chiptune Jazz"));
    QCOMPARE(page.items()[0].title, std::string("Renamed"));
    QCOMPARE(page.items()[1].artist, std::string("Second"));

    f.Click(1107);  // Remove
    QCOMPARE(f.Listed(), (QStringList{"a.flac", "c.wav"}));
    QCOMPARE(page.currentItem(), 0);
    QCOMPARE(list->topLevelItem(1)->text(0), QString("02"));
    // While a preview holds the page nothing is removed and the editing controls are off.
    f.context.previewActive = true;
    page.RemoveSelected();
    page.Clear();
    QCOMPARE(page.items().size(), size_t(2));
    page.SetEditingEnabled(false);
    QVERIFY(!list->isEnabled() && !page.formatBox()->isEnabled());
    QVERIFY(!page.tagEdit(1117)->isEnabled());
    page.SetEditingEnabled(true);
    f.context.previewActive = false;
    page.contextMenu()->actions().last()->trigger();  // "&Clear list"
    QCOMPARE(list->topLevelItemCount(), 0);
    QCOMPARE(page.summary()->text(),
             QString("Track Count: 00 ,          Total Duration: 00:00:00"));

    page.StartJob();
    QCOMPARE(f.prompter.messages.size(), size_t(1));
    QCOMPARE(f.prompter.messages[0].text, std::string("Please add audio files..."));
    QCOMPARE(f.prompter.messages[0].caption,
             std::string("Quelt CD Ripper Pro - Audio File Converter"));
    QVERIFY(!f.context.convertControl.busy.load());
}

void ConverterPageTest::startButtonRunsAConversionToDone() {
    Fixture f;
    const std::string out = f.scratch.File("out/");
    f.context.settings.convert.bOutputDirectory = 1;
    f.context.settings.convert.outputDirectory = out;
    f.context.settings.convert.metadata = 1;
    MainWindow::Parts parts;
    parts.genres = f.genres.get();
    MainWindow window(f.skin, f.context, std::move(parts));
    window.SwitchMode(200);
    auto& page = *dynamic_cast<ConverterPage*>(window.page(200));
    page.SetJobSetup([](ConversionJobParameters& job) {
        job.startDelayMs = 0;
        job.closingSound = {};
    });
    page.AddFiles(
        {f.Tone("in/first.wav", 1.0, {{"title", "First"}}), f.Tone("in/second.wav", 1.0)});
    page.formatBox()->setCurrentIndex(9);          // .flac
    page.tagEdit(1115)->setText("Edited Artist");  // the second file is current

    QStringList opened;
    const test::JobSeen seen = test::PressStartAndWait(window, [&](ProgressWindow& progress) {
        progress.SetFolderOpener([&](const QString& folder) {
            opened << folder;
            return true;
        });
        progress.folderButton()->click();
    });
    QCOMPARE(seen.title, QString(" Audio File Converting... "));
    QVERIFY2(!seen.log.isEmpty(), "the progress window never showed the end of the job");
    QCOMPARE(seen.log.first(), QString("Initializing..."));
    QCOMPARE(seen.log.last(), QString("Done, 02 track(s) were successfully."));
    QCOMPARE(opened, QStringList{QString::fromStdString(out)});
    QVERIFY(!f.context.convertControl.busy.load());
    QCOMPARE(f.context.settings.convertExtension, std::string(".flac"));
    // The edited tag reached the written file.
    const std::string probe =
        test::Capture("ffprobe -v error -show_entries format_tags=artist -of default=nw=1:nk=1 " +
                      test::ShellQuote(out + "second.flac"));
    QVERIFY(std::filesystem::exists(out + "first.flac"));
    QCOMPARE(QString::fromStdString(probe).trimmed(), QString("Edited Artist"));
}

QUELT_GUI_TEST(ConverterPageTest)
#include "test_converter_page.moc"
