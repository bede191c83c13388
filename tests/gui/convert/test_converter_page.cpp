// The converter page: adding files and folders, the list's rows and summary, removing and
// clearing, tag edits reaching the list, the format and preset written at once, the context
// menu, and a conversion started from the start button running to its end in the
// progress window.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "core/catalogue/catalogue.h"
#include "core/rip/genre_list.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/app/main_window.h"
#include "gui/common/app_context.h"
#include "gui/common/progress_window.h"
#include "gui/convert/converter_page.h"
#include "gui/skin/skin.h"
#include "gui_test_main.h"
#include "scripted_prompter.h"
#include "support/fixtures.h"

using namespace quelt;
using quelt::test::ScratchDir;
using quelt::test::ScriptedPrompter;

namespace {

struct Fixture {
    Fixture() : context(scratch.File("zqrprocfg.cfg"), prompter), genres(CreateGenreList()) {
        const std::string ui = "skins/zqr/the.ui";
        skin.Load(QString::fromStdString(ui), true, QString::fromStdString(DataFolder(ui)));
        LoadSettings(context.settings, context.profile);
        context.settings.priority =
            Priority::kNormal;  // normal: the test process keeps its own priority
    }
    ConverterPage& Page() {
        if (!page) {
            page = std::make_unique<ConverterPage>(skin, context, genres.get());
            page->setStatusLine(&status);
        }
        return *page;
    }
    QString Tone(const std::string& name, double seconds = 1.0,
                 std::vector<std::pair<std::string, std::string>> tags = {}) {
        const std::string path = scratch.File(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        quelt::test::ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        toneOptions.tags = std::move(tags);
        if (!quelt::test::MakeTone(path, toneOptions)) return {};
        return QString::fromStdString(path);
    }
    QStringList Listed() {
        QStringList names;
        for (int i = 0; i < Page().fileList()->topLevelItemCount(); ++i)
            names << QFileInfo(Page().fileList()->topLevelItem(i)->text(1)).fileName();
        return names;
    }
    int SelectedRow() {
        auto selected = Page().fileList()->selectedItems();
        return selected.isEmpty() ? -1 : Page().fileList()->indexOfTopLevelItem(selected.front());
    }
    void Select(int row) {
        Page().fileList()->setCurrentItem(Page().fileList()->topLevelItem(row));
    }

    ScratchDir scratch;
    ScriptedPrompter prompter;
    AppContext context;
    Skin skin;
    std::unique_ptr<GenreList> genres;
    QLabel status;
    std::unique_ptr<ConverterPage> page;
};

}  // namespace

class ConverterPageTest : public QObject {
    Q_OBJECT
  private slots:
    void createdWithItsListsAndAnEmptySummary();
    void addFolderTakesOnlyMediaFilesDirectlyInIt();
    void unreadableFileIsNotAdded();
    void videoWithoutSoundIsListed();
    void rowsShowNumberPathAndDuration();
    void removeSelectsTheRowAboveOrTheLastRow();
    void clearEmptiesTheList();
    void previewRefusesListEdits();
    void tagEditsReachTheList();
    void formatAndPresetAreWrittenAtOnce();
    void storedRowsOutsideTheListsGiveTheFirstRow();
    void contextMenuAndItsZone();
    void addButtonsUseTheirDialogs();
    void emptyListStartShowsTheMessageOnly();
    void startButtonRunsAConversionToDone();
};

void ConverterPageTest::createdWithItsListsAndAnEmptySummary() {
    Fixture f;
    f.context.profile.WriteInt("CONVERT", "FormatIndex", 5);
    f.context.profile.WriteInt("CONVERT", "FParamIndex", 7);
    ConverterPage& page = f.Page();
    QVERIFY(page.isSkinned());
    QCOMPARE(page.formatBox()->count(), kOutputFormatCount);
    QCOMPARE(page.presetBox()->count(), kEncodePresetCount);
    QCOMPARE(page.formatBox()->currentIndex(), 5);
    QCOMPARE(page.presetBox()->currentIndex(), 7);
    QCOMPARE(page.genreBox()->count(), 148);
    QCOMPARE(page.genreBox()->currentIndex(), 0);
    QCOMPARE(page.genreBox()->itemText(0), QString::fromStdString(f.genres->GenreName(0)));
    QCOMPARE(page.genreBox()->itemText(147), QString::fromStdString(f.genres->GenreName(147)));
    QCOMPARE(page.tagEdit(1119)->text(), QString("2007"));
    QCOMPARE(page.tagEdit(1115)->maxLength(), 200);
    QCOMPARE(page.tagEdit(1123)->maxLength(), 255);
    QCOMPARE(page.fileList()->headerItem()->text(0), QString("   # "));
    QCOMPARE(page.fileList()->headerItem()->text(1), QString(" Filename"));
    QCOMPARE(page.fileList()->headerItem()->text(2), QString(" Duration"));
    QCOMPARE(page.summary()->text(),
             QString("Track Count: 00 ,          Total Duration: 00:00:00"));
    QCOMPARE(page.currentItem(), -1);
}

void ConverterPageTest::addFolderTakesOnlyMediaFilesDirectlyInIt() {
    Fixture f;
    QVERIFY(!f.Tone("music/a.mp3").isEmpty());
    QVERIFY(!f.Tone("music/B.FLAC").isEmpty());
    QVERIFY(!f.Tone("music/sub/d.mp3").isEmpty());
    QVERIFY(!f.Tone("music/sub/e.mp3").isEmpty());
    QFile text(QString::fromStdString(f.scratch.File("music/c.txt")));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("not audio\n");
    text.close();
    f.Page().AddFolder(QString::fromStdString(f.scratch.File("music")));
    QCOMPARE(f.Listed(), (QStringList{"a.mp3", "B.FLAC"}));
    QCOMPARE(f.Page().items().size(), size_t(2));
}

void ConverterPageTest::unreadableFileIsNotAdded() {
    Fixture f;
    const QString bogus = QString::fromStdString(f.scratch.File("broken.mp3"));
    QFile file(bogus);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, '\x5a'));
    file.close();
    QVERIFY(!f.Page().AddFile(bogus));
    QVERIFY(!f.Page().AddFile(QString::fromStdString(f.scratch.File("missing.wav"))));
    f.Page().Refresh();
    QCOMPARE(f.Page().items().size(), size_t(0));
    QVERIFY(f.prompter.messages.empty());
}

void ConverterPageTest::videoWithoutSoundIsListed() {
    Fixture f;
    const std::string clip = f.scratch.File("clip.avi");
    QCOMPARE(quelt::test::Run("ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "
                              "testsrc=d=1:s=64x48:r=10 -an " +
                              quelt::test::ShellQuote(clip)),
             0);
    QVERIFY(f.Page().AddFile(QString::fromStdString(clip)));
    f.Page().Refresh();
    QCOMPARE(f.Listed(), QStringList{"clip.avi"});
}

void ConverterPageTest::rowsShowNumberPathAndDuration() {
    Fixture f;
    const QString a = f.Tone("a.wav", 2.0), b = f.Tone("b.wav", 3.0);
    f.Page().AddFiles({a, b});
    QTreeWidget* list = f.Page().fileList();
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), QString("01"));
    QCOMPARE(list->topLevelItem(1)->text(0), QString("02"));
    QCOMPARE(list->topLevelItem(0)->text(1), a);
    QCOMPARE(list->topLevelItem(0)->text(2), QString("00:00:02"));
    QCOMPARE(list->topLevelItem(1)->text(2), QString("00:00:03"));
    QCOMPARE(f.Page().summary()->text(),
             QString("Track Count: 02 ,          Total Duration: 00:00:05"));
    // With no current entry the refresh selects the last row.
    QCOMPARE(f.SelectedRow(), 1);
    QCOMPARE(f.Page().currentItem(), 1);
    QCOMPARE(f.status.text(), QString("No.: 02, second: 00:00:00.000"));
}

void ConverterPageTest::removeSelectsTheRowAboveOrTheLastRow() {
    Fixture f;
    QStringList files;
    for (const char* name : {"1.wav", "2.wav", "3.wav", "4.wav", "5.wav"})
        files << f.Tone(name, 0.5);
    f.Page().AddFiles(files);
    f.Select(2);
    QCOMPARE(f.Page().currentItem(), 2);
    f.Page().RemoveSelected();
    QCOMPARE(f.Listed(), (QStringList{"1.wav", "2.wav", "4.wav", "5.wav"}));
    QCOMPARE(f.SelectedRow(), 1);
    QCOMPARE(f.Page().currentItem(), 1);
    f.Select(0);
    f.Page().RemoveSelected();
    QCOMPARE(f.Listed(), (QStringList{"2.wav", "4.wav", "5.wav"}));
    QCOMPARE(f.SelectedRow(), 2);
    QCOMPARE(f.Page().summary()->text().left(16), QString("Track Count: 03 "));
    QCOMPARE(f.Page().fileList()->topLevelItem(2)->text(0), QString("03"));
}

void ConverterPageTest::clearEmptiesTheList() {
    Fixture f;
    f.Page().AddFiles({f.Tone("a.wav"), f.Tone("b.wav")});
    f.Page().Clear();
    QCOMPARE(f.Page().items().size(), size_t(0));
    QCOMPARE(f.Page().fileList()->topLevelItemCount(), 0);
    QCOMPARE(f.Page().currentItem(), -1);
    QCOMPARE(f.Page().summary()->text(),
             QString("Track Count: 00 ,          Total Duration: 00:00:00"));
    f.Page().RemoveSelected();  // an empty list: nothing happens
    QCOMPARE(f.Page().items().size(), size_t(0));
}

void ConverterPageTest::previewRefusesListEdits() {
    Fixture f;
    f.Page().AddFiles({f.Tone("a.wav"), f.Tone("b.wav")});
    f.context.previewActive = true;
    f.Page().RemoveSelected();
    f.Page().Clear();
    QCOMPARE(f.Page().items().size(), size_t(2));
    f.Page().SetEditingEnabled(false);
    QVERIFY(!f.Page().fileList()->isEnabled());
    QVERIFY(!f.Page().formatBox()->isEnabled());
    QVERIFY(!f.Page().tagEdit(1117)->isEnabled());
    f.Page().SetEditingEnabled(true);
    QVERIFY(f.Page().tagEdit(1117)->isEnabled());
}

void ConverterPageTest::tagEditsReachTheList() {
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

void ConverterPageTest::formatAndPresetAreWrittenAtOnce() {
    Fixture f;
    f.Page().formatBox()->setCurrentIndex(9);
    f.Page().presetBox()->setCurrentIndex(40);
    QCOMPARE(f.context.profile.ReadInt("CONVERT", "FormatIndex"), 9);
    QCOMPARE(f.context.profile.ReadInt("CONVERT", "FParamIndex"), 40);
}

void ConverterPageTest::storedRowsOutsideTheListsGiveTheFirstRow() {
    Fixture f;
    f.context.profile.WriteInt("CONVERT", "FormatIndex", 99);
    f.context.profile.WriteInt("CONVERT", "FParamIndex", -1);
    QCOMPARE(f.Page().formatBox()->currentIndex(), 0);
    QCOMPARE(f.Page().presetBox()->currentIndex(), 0);
}

void ConverterPageTest::contextMenuAndItsZone() {
    Fixture f;
    QStringList texts;
    for (QAction* action : f.Page().contextMenu()->actions())
        texts << (action->isSeparator() ? QString("-") : action->text());
    QCOMPARE(texts, (QStringList{"&Add files", "Add &folder", "-",
                                 "&Remove selected file from list", "-", "&Clear list"}));
    QVERIFY(ConverterPage::InContextZone(QPoint(408, 26)));
    QVERIFY(ConverterPage::InContextZone(QPoint(0, 310)));
    QVERIFY(!ConverterPage::InContextZone(QPoint(409, 100)));
    QVERIFY(!ConverterPage::InContextZone(QPoint(100, 25)));
    f.Page().AddFiles({f.Tone("a.wav")});
    f.Page().contextMenu()->actions().last()->trigger();  // "&Clear list"
    QCOMPARE(f.Page().items().size(), size_t(0));
}

void ConverterPageTest::addButtonsUseTheirDialogs() {
    Fixture f;
    const QString a = f.Tone("pick/a.wav"), b = f.Tone("pick/b.ogg");
    f.Page().SetFileChooser([&](QWidget*) { return QStringList{b, a}; });
    f.Page().SetFolderChooser(
        [&](QWidget*) { return QString::fromStdString(f.scratch.File("pick")); });
    QTest::mouseClick(f.Page().control<QAbstractButton>(1105), Qt::LeftButton);
    QCOMPARE(f.Listed(), (QStringList{"b.ogg", "a.wav"}));
    QTest::mouseClick(f.Page().control<QAbstractButton>(1106), Qt::LeftButton);
    QCOMPARE(f.Listed(), (QStringList{"b.ogg", "a.wav", "a.wav", "b.ogg"}));
    f.Page().SetFileChooser([](QWidget*) { return QStringList{}; });  // cancelled
    QTest::mouseClick(f.Page().control<QAbstractButton>(1105), Qt::LeftButton);
    QCOMPARE(f.Page().items().size(), size_t(4));
    QTest::mouseClick(f.Page().control<QAbstractButton>(1108), Qt::LeftButton);
    QCOMPARE(f.Page().items().size(), size_t(0));
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
    page.SetJobSetup([](ConversionJob& job) {
        job.SetStartDelay(std::chrono::milliseconds(0));
        job.SetClosingSound({});
    });
    page.AddFiles(
        {f.Tone("in/first.wav", 1.0, {{"title", "First"}}), f.Tone("in/second.wav", 1.0)});
    page.formatBox()->setCurrentIndex(9);          // .flac
    page.tagEdit(1115)->setText("Edited Artist");  // the second file is current

    QStringList log;
    QString title;
    QStringList opened;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, &window, [&] {
        auto* progress = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget());
        if (!progress) return;
        title = progress->windowTitle();
        progress->SetFolderOpener([&](const QString& folder) {
            opened << folder;
            return true;
        });
        const int rows = progress->logList()->rowCount();
        if (progress->WorkerRunning() || rows == 0) return;
        if (progress->actionButton()->text() != "Close") return;
        for (int r = 0; r < rows; ++r) log << progress->logList()->item(r, 1)->text();
        progress->folderButton()->click();
        progress->actionButton()->click();
    });
    watcher.start(20);
    QTest::mouseClick(window.control<QAbstractButton>(1017), Qt::LeftButton);
    watcher.stop();

    QCOMPARE(title, QString(" Audio File Converting... "));
    QVERIFY2(!log.isEmpty(), "the progress window never showed the end of the job");
    QCOMPARE(log.first(), QString("Initializing..."));
    QCOMPARE(log.last(), QString("Done, 02 track(s) were successfully."));
    QCOMPARE(opened, QStringList{QString::fromStdString(out)});
    QVERIFY(!f.context.convertControl.busy.load());
    QCOMPARE(f.context.settings.convertExtension, std::string(".flac"));
    // The edited tag reached the written file.
    const std::string probe = quelt::test::Capture(
        "ffprobe -v error -show_entries format_tags=artist -of default=nw=1:nk=1 " +
        quelt::test::ShellQuote(out + "second.flac"));
    QVERIFY(std::filesystem::exists(out + "first.flac"));
    QCOMPARE(QString::fromStdString(probe).trimmed(), QString("Edited Artist"));
}

QUELT_GUI_TEST(ConverterPageTest)
#include "test_converter_page.moc"
