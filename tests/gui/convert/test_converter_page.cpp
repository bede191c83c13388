// The converter page: what adding files and folders lists, the rows and summary, removing
// and clearing, tag edits reaching the right row, the format and preset written at once,
// and a conversion started from the start button running to its end in the progress
// window.
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <tuple>

#include "core/catalogue/catalogue.h"
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
    void rowsSummaryAndPositionLine();
    void removeSelectsTheRowAboveOrTheLastRowAndClearEmpties();
    void tagEditsReachTheSelectedRowOnly();
    void formatAndPresetAreReadAndWrittenAtOnce();
    void emptyListStartShowsTheMessageOnly();
    void startButtonRunsAConversionToDone();
};

// "Add folder" takes the media files directly in the folder, in name order; a file that
// cannot be read is left out silently, a video without sound is listed.
void ConverterPageTest::addButtonsListMediaFilesOnly() {
    Fixture f;
    QVERIFY(!f.Tone("music/b.mp3").isEmpty());
    QVERIFY(!f.Tone("music/A.FLAC").isEmpty());
    QVERIFY(!f.Tone("music/sub/d.mp3").isEmpty());
    QFile text(QString::fromStdString(f.scratch.File("music/c.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not audio\n");
    text.close();
    const std::string clip = f.scratch.File("clip.avi");
    QCOMPARE(test::Run("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
                       "testsrc=d=1:s=64x48:r=10 -an " +
                       test::ShellQuote(clip)),
             0);
    const QString broken = QString::fromStdString(f.scratch.File("broken.mp3"));
    QFile bytes(broken);
    QVERIFY(bytes.open(QIODevice::WriteOnly));
    bytes.write(QByteArray(4096, '\x5a'));
    bytes.close();

    QStringList chosenFiles{QString::fromStdString(clip), broken};
    QString chosenFolder = QString::fromStdString(f.scratch.File("music"));
    f.Page().SetFileChooser([&](QWidget*) { return chosenFiles; });
    f.Page().SetFolderChooser([&](QWidget*) { return chosenFolder; });
    f.Click(1106);  // Add folder
    f.Click(1105);  // Add files
    QCOMPARE(f.Listed(), (QStringList{"A.FLAC", "b.mp3", "clip.avi"}));
    chosenFiles.clear();  // cancelled
    chosenFolder.clear();
    f.Click(1105);
    f.Click(1106);
    QCOMPARE(f.Page().items().size(), size_t(3));
    QVERIFY(f.prompter.messages.empty());
}

void ConverterPageTest::rowsSummaryAndPositionLine() {
    Fixture f;
    const QString a = f.Tone("a.wav", 2.0), b = f.Tone("b.wav", 3.0);
    f.Page().AddFiles({a, b});
    QTreeWidget* list = f.Page().fileList();
    QCOMPARE(list->topLevelItem(0)->text(0), QString("01"));
    QCOMPARE(list->topLevelItem(0)->text(1), a);
    QCOMPARE(list->topLevelItem(1)->text(0), QString("02"));
    QCOMPARE(list->topLevelItem(1)->text(2), QString("00:00:03"));
    QCOMPARE(f.Page().summary()->text(),
             QString("Track Count: 02 ,          Total Duration: 00:00:05"));
    // With no current entry the refresh selects the last row.
    QCOMPARE(f.Page().currentItem(), 1);
    QCOMPARE(f.status.text(), QString("No.: 02, second: 00:00:00.000"));
    QStringList texts;
    for (QAction* action : f.Page().contextMenu()->actions())
        texts << (action->isSeparator() ? QString("-") : action->text());
    QCOMPARE(texts, (QStringList{"&Add files", "Add &folder", "-",
                                 "&Remove selected file from list", "-", "&Clear list"}));
}

void ConverterPageTest::removeSelectsTheRowAboveOrTheLastRowAndClearEmpties() {
    Fixture f;
    QStringList files;
    for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav", "5.wav"})
        files << f.Tone(name, 0.5);
    f.Page().AddFiles(files);
    f.Select(2);
    f.Page().RemoveSelected();
    QCOMPARE(f.Listed(), (QStringList{"1.wav", "2.wav", "4.wav", "5.wav"}));
    QCOMPARE(f.Page().currentItem(), 1);
    f.Select(0);
    f.Click(1107);  // Remove
    QCOMPARE(f.Listed(), (QStringList{"2.wav", "4.wav", "5.wav"}));
    QCOMPARE(f.Page().currentItem(), 2);
    QCOMPARE(f.Page().fileList()->topLevelItem(2)->text(0), QString("03"));

    // While a preview holds the page nothing is removed and the editing controls are off.
    f.context.previewActive = true;
    f.Page().RemoveSelected();
    f.Page().Clear();
    QCOMPARE(f.Page().items().size(), size_t(3));
    f.Page().SetEditingEnabled(false);
    QVERIFY(!f.Page().fileList()->isEnabled());
    QVERIFY(!f.Page().formatBox()->isEnabled());
    QVERIFY(!f.Page().tagEdit(1117)->isEnabled());
    f.Page().SetEditingEnabled(true);
    f.context.previewActive = false;

    f.Page().contextMenu()->actions().last()->trigger();  // "&Clear list"
    QCOMPARE(f.Page().fileList()->topLevelItemCount(), 0);
    QCOMPARE(f.Page().currentItem(), -1);
    QCOMPARE(f.Page().summary()->text(),
             QString("Track Count: 00 ,          Total Duration: 00:00:00"));
}

void ConverterPageTest::tagEditsReachTheSelectedRowOnly() {
    Fixture f;
    const QString a = f.Tone("a.flac", 1.0, {{"artist", "First Artist"}, {"title", "One"}});
    const QString b = f.Tone("b.flac", 1.0,
                             {{"artist", "Second Artist"}, {"album", "Two"}, {"genre", "Chiptune Jazz"}});
    f.Page().AddFiles({a, b});
    ConverterPage& page = f.Page();
    // The last row is current and its tags are shown.
    QCOMPARE(page.tagEdit(1115)->text(), QString("Second Artist"));
    QCOMPARE(page.tagEdit(1116)->text(), QString("Two"));
    f.Select(0);
    QCOMPARE(page.tagEdit(1115)->text(), QString("First Artist"));
    QCOMPARE(page.tagEdit(1117)->text(), QString("One"));
    page.tagEdit(1117)->clear();
    QTest::keyClicks(page.tagEdit(1117), "Renamed");
    page.tagEdit(1122)->setText("A comment");
    page.tagEdit(1123)->setText("(c) us");
    page.tagEdit(1119)->setText("1999");
    page.genreBox()->setCurrentIndex(17);
    QCOMPARE(page.items()[0].title, std::string("Renamed"));
    QCOMPARE(page.items()[0].comment, std::string("A comment"));
    QCOMPARE(page.items()[0].copyright, std::string("(c) us"));
    QCOMPARE(page.items()[0].year, std::string("1999"));
    QCOMPARE(page.items()[0].genre, f.genres->GenreName(17));
    QCOMPARE(page.items()[1].title, std::string());
    // Selecting the other row shows its own tags and does not write them into row 0.
    f.Select(1);
    QCOMPARE(page.tagEdit(1117)->text(), QString());
    QCOMPARE(page.items()[0].title, std::string("Renamed"));
    QCOMPARE(page.items()[1].artist, std::string("Second Artist"));
    // A genre outside the list shows as the file's own text, not as row 0's genre, and
    // picking the entry row 0 has still applies to this row.
    QCOMPARE(page.genreBox()->currentIndex(), -1);
    QCOMPARE(page.genreBox()->placeholderText(), QString("Chiptune Jazz"));
    QCOMPARE(page.items()[1].genre, std::string("Chiptune Jazz"));
    page.genreBox()->setCurrentIndex(17);
    QCOMPARE(page.items()[1].genre, f.genres->GenreName(17));
    f.Select(0);
    QCOMPARE(page.genreBox()->currentIndex(), 17);
}

void ConverterPageTest::formatAndPresetAreReadAndWrittenAtOnce() {
    for (auto [format, preset, shownFormat, shownPreset] :
         {std::tuple{5, 7, 5, 7}, std::tuple{99, -1, 0, 0}}) {
        Fixture f;
        f.context.profile.WriteInt("CONVERT", "FormatIndex", format);
        f.context.profile.WriteInt("CONVERT", "FParamIndex", preset);
        QCOMPARE(f.Page().formatBox()->count(), kOutputFormatCount);
        QCOMPARE(f.Page().presetBox()->count(), kEncodePresetCount);
        QCOMPARE(f.Page().formatBox()->currentIndex(), shownFormat);
        QCOMPARE(f.Page().presetBox()->currentIndex(), shownPreset);
        f.Page().formatBox()->setCurrentIndex(9);
        f.Page().presetBox()->setCurrentIndex(40);
        QCOMPARE(f.context.profile.ReadInt("CONVERT", "FormatIndex"), 9);
        QCOMPARE(f.context.profile.ReadInt("CONVERT", "FParamIndex"), 40);
    }
}

void ConverterPageTest::emptyListStartShowsTheMessageOnly() {
    Fixture f;
    f.Page().StartJob();
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
