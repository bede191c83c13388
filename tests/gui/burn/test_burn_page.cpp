// The burner page: the writer list with the image file writer last, the medium lines,
// adding files and folders with the rows and the summary, the moves at both ends, removing
// and clearing, the writable check refusing a closed disc, erasing only after a yes, and a
// burn to the image file writer started from the start button running to "Burn Done!".
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>

#include "core/burn/libburn_burner.h"
#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/app/main_window.h"
#include "gui/burn/burn_page.h"
#include "gui/burn/burn_start.h"
#include "gui/burn/erase_dialog.h"
#include "gui/common/app_context.h"
#include "gui/common/progress_window.h"
#include "gui/skin/skin.h"
#include "gui_test_main.h"
#include "scripted_prompter.h"
#include "support/fixtures.h"

using namespace quelt;
using quelt::test::ScratchDir;
using quelt::test::ScriptedPrompter;

namespace {

// The real library with a writer whose medium is what the test says: a disc already
// written cannot be made here without a drive. Counts the erase calls.
class MediumOverride : public BurnerLibrary {
  public:
    explicit MediumOverride(BurnerLibrary& real) : real_(real) {}

    int32_t discState = kDiscEmpty;
    double sizeBytes = 0;
    bool overrideMedium = false;
    std::atomic<int> erases{0};
    std::atomic<bool> holdErase{false};

    int32_t GetMediumInformation(MediumInformation& info) override {
        if (!overrideMedium) return real_.GetMediumInformation(info);
        info.typeText = "CD-RW";
        info.discState = discState;
        info.sizeBytes = sizeBytes;
        return 0;
    }
    int32_t CheckErasable() override { return real_.CheckErasable(); }
    // Holds the blanking back while `holdErase` is set, so a test sees the dialog answer
    // while the worker waits inside the library.
    int32_t Erase(bool fast, const BurnProcessCallback& progress) override {
        ++erases;
        while (holdErase) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        return real_.Erase(fast, progress);
    }
    int32_t Initialize() override { return real_.Initialize(); }
    int32_t CreateProject(int32_t type) override { return real_.CreateProject(type); }
    int32_t GetOptions(BurnOptions& o) override { return real_.GetOptions(o); }
    int32_t SetOptions(BurnOptions o) override { return real_.SetOptions(std::move(o)); }
    int32_t GetDevices(DeviceTable& t, int32_t& c) override { return real_.GetDevices(t, c); }
    int32_t SetDevice(const std::string& d) override { return real_.SetDevice(d); }
    int32_t AddFile(AddFileEntry e) override { return real_.AddFile(std::move(e)); }
    int32_t Prepare() override { return real_.Prepare(); }
    int32_t Burn() override { return real_.Burn(); }
    int32_t EjectDevice() override { return real_.EjectDevice(); }
    int32_t CloseDevice() override { return real_.CloseDevice(); }
    int32_t GetText(int32_t code, std::string& t) override { return real_.GetText(code, t); }
    int32_t SetImagePath(const std::string& p) override { return real_.SetImagePath(p); }
    void SetProcessEventCallback(BurnProcessCallback c) override {
        real_.SetProcessEventCallback(std::move(c));
    }
    void SetBurnDoneEventCallback(BurnDoneCallback c) override {
        real_.SetBurnDoneEventCallback(std::move(c));
    }
    void SetFinalizeEventCallback(BurnFinalizeCallback c) override {
        real_.SetFinalizeEventCallback(std::move(c));
    }
    void SetAudioDecoderEventCallback(BurnAudioDecoderCallback c) override {
        real_.SetAudioDecoderEventCallback(std::move(c));
    }
    void SetAudioDecodeDoneEventCallback(BurnAudioDecoderCallback c) override {
        real_.SetAudioDecodeDoneEventCallback(std::move(c));
    }

  private:
    BurnerLibrary& real_;
};

const QString kEmptySummary = "Track Count: 00 ,          Total Duration: 00:00:00";

struct Fixture {
    Fixture() : context(scratch.File("zqrprocfg.cfg"), prompter), library(real) {
        const std::string ui = "skins/zqr/the.ui";
        skin.Load(QString::fromStdString(ui), true, QString::fromStdString(DataFolder(ui)));
        LoadSettings(context.settings, context.profile);
        context.settings.priority =
            Priority::kNormal;  // normal: the test process keeps its own priority
    }
    BurnPage& Page() {
        if (!page) {
            page = std::make_unique<BurnPage>(skin, context, library);
            page->setStatusLine(&status);
        }
        return *page;
    }
    QString Tone(const std::string& name, double seconds = 1.0) {
        const std::string path = scratch.File(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        quelt::test::ToneOptions toneOptions;
        toneOptions.seconds = seconds;
        if (!quelt::test::MakeTone(path, toneOptions)) return {};
        return QString::fromStdString(path);
    }
    QStringList Listed() {
        QStringList names;
        for (int i = 0; i < Page().fileList()->topLevelItemCount(); ++i)
            names << QFileInfo(Page().fileList()->topLevelItem(i)->text(1)).completeBaseName();
        return names;
    }
    int SelectedRow() {
        auto selected = Page().fileList()->selectedItems();
        return selected.isEmpty() ? -1 : Page().fileList()->indexOfTopLevelItem(selected.front());
    }
    void Select(int row) {
        Page().fileList()->setCurrentItem(Page().fileList()->topLevelItem(row));
    }
    void Click(int id) { QTest::mouseClick(Page().control<QAbstractButton>(id), Qt::LeftButton); }
    // Three one-second tones a, b, c in the list, the last one current.
    void AddThree() {
        Page().AddFiles({Tone("a.wav"), Tone("b.wav"), Tone("c.wav")});
        QCOMPARE(Listed(), (QStringList{"a", "b", "c"}));
    }

    ScratchDir scratch;
    ScriptedPrompter prompter;
    AppContext context;
    Skin skin;
    LibburnBurner real;
    MediumOverride library;
    QLabel status;
    std::unique_ptr<BurnPage> page;
};

}  // namespace

class BurnPageTest : public QObject {
    Q_OBJECT
  private slots:
    void writersListedWithTheImageWriterLast();
    void imageWriterShowsAnEmptyDisc();
    void addedFilesShowRowsAndTheSummary();
    void addButtonsUseTheirDialogs();
    void addFolderTakesOnlyMediaFilesDirectlyInIt();
    void movesStopAtBothEnds();
    void moveButtonsAndMenuMoveTheCurrentRow();
    void removeAndClear();
    void previewRefusesListEdits();
    void contextMenuOnlyOverTheList();
    void writableCheckRefusesAClosedDisc();
    void emptyCompilationRefusesTheStart();
    void eraseRefusalComesBeforeAnyWarning();
    void eraseRunsOnAWorkerWhileTheWindowAnswers();
    void imagePathGetsItsExtension();
    void cancelledImageDialogStartsNothing();
    void startButtonBurnsToTheImageWriter_data();
    void startButtonBurnsToTheImageWriter();
};

void BurnPageTest::writersListedWithTheImageWriterLast() {
    Fixture f;
    BurnPage& page = f.Page();
    QVERIFY(page.isSkinned());
    const int count = page.writers().writerCount;
    QVERIFY(count >= 1);
    QCOMPARE(page.writerBox()->count(), count);
    QCOMPARE(page.writerBox()->itemText(count - 1), QString("Image file writer (CUE/BIN)"));
    QCOMPARE(page.writerBox()->currentIndex(), 0);
    QCOMPARE(page.discTypeBox()->count(), 2);
    QCOMPARE(page.discTypeBox()->itemText(0), QString("Audio CD"));
    QCOMPARE(page.discTypeBox()->itemText(1), QString("Data  CD(Audio)"));
    QCOMPARE(page.discTypeBox()->currentIndex(), 0);
    QVERIFY(!page.dataCd());
    QCOMPARE(page.summary()->text(), kEmptySummary);
    QCOMPARE(page.currentItem(), -1);
    QTreeWidgetItem* header = page.fileList()->headerItem();
    QCOMPARE(header->text(0), QString("   # "));
    QCOMPARE(header->text(1), QString(" Filename"));
    QCOMPARE(header->text(2), QString(" Duration"));
    // A writer was found: the list and its buttons take edits.
    QVERIFY(page.fileList()->isEnabled());
    QVERIFY(page.controlWidget(1087)->isEnabled());
}

void BurnPageTest::imageWriterShowsAnEmptyDisc() {
    Fixture f;
    BurnPage& page = f.Page();
    page.writerBox()->setCurrentIndex(page.writerBox()->count() - 1);
    page.RefreshOnShow();
    QCOMPARE(page.mediumType()->text(), QString("CD-R"));
    QCOMPARE(page.mediumState()->text(), QString("Empty Disc"));
    // 360000 sectors of 2048 bytes.
    QCOMPARE(page.mediumSize()->text(), QString("703.12MB"));

    f.library.overrideMedium = true;
    f.library.discState = kDiscComplete;
    f.library.sizeBytes = 3.5 * 1048576;
    page.RefreshOnShow();
    QCOMPARE(page.mediumType()->text(), QString("CD-RW"));
    QCOMPARE(page.mediumState()->text(), QString("Complete Disc"));
    QCOMPARE(page.mediumSize()->text(), QString("3.50MB"));
    // A state the page does not know leaves the state and size lines as they were.
    f.library.discState = 7;
    page.RefreshOnShow();
    QCOMPARE(page.mediumState()->text(), QString("Complete Disc"));
    QCOMPARE(page.mediumSize()->text(), QString("3.50MB"));
}

void BurnPageTest::addedFilesShowRowsAndTheSummary() {
    Fixture f;
    BurnPage& page = f.Page();
    const QString one = f.Tone("one.wav", 1.0);
    const QString two = f.Tone("two.flac", 2.5);
    const std::string text = f.scratch.File("notes.wav");
    std::ofstream(text) << "not audio";
    page.AddFiles({one, two, QString::fromStdString(text), one});

    QTreeWidget* list = page.fileList();
    QCOMPARE(list->topLevelItemCount(),
             3);  // the unreadable file is left out; a twice-added one twice
    QCOMPARE(list->topLevelItem(0)->text(0), QString("01"));
    QCOMPARE(list->topLevelItem(0)->text(1), one);
    QCOMPARE(list->topLevelItem(0)->text(2), QString("00:00:01"));
    QCOMPARE(list->topLevelItem(1)->text(0), QString("02"));
    QCOMPARE(list->topLevelItem(1)->text(1), two);
    QCOMPARE(list->topLevelItem(1)->text(2), QString("00:00:02.500"));
    QCOMPARE(list->topLevelItem(2)->text(1), one);
    QCOMPARE(page.summary()->text(),
             QString("Track Count: 03 ,          Total Duration: 00:00:04.500"));
    // The last row becomes current and the position line follows it.
    QCOMPARE(f.SelectedRow(), 2);
    QCOMPARE(page.currentItem(), 2);
    QCOMPARE(f.status.text(), QString("No.: 03, second: 00:00:00.000"));
    f.Select(0);
    QCOMPARE(page.currentItem(), 0);
    QCOMPARE(f.status.text(), QString("No.: 01, second: 00:00:00.000"));
    list->clearSelection();
    QCOMPARE(page.currentItem(), -1);
    QCOMPARE(f.status.text(), QString("No.: 0, second: 00:00:00.000"));
}

void BurnPageTest::addButtonsUseTheirDialogs() {
    Fixture f;
    BurnPage& page = f.Page();
    const QString a = f.Tone("in/a.wav");
    const QString b = f.Tone("dir/b.wav");
    page.SetFileChooser([&](QWidget*) { return QStringList{a}; });
    page.SetFolderChooser([&](QWidget*) { return QFileInfo(b).absolutePath(); });
    f.Click(1087);
    f.Click(1090);
    QCOMPARE(f.Listed(), (QStringList{"a", "b"}));
    // Cancelled dialogs add nothing.
    page.SetFileChooser([](QWidget*) { return QStringList{}; });
    page.SetFolderChooser([](QWidget*) { return QString(); });
    f.Click(1087);
    f.Click(1090);
    QCOMPARE(f.Listed(), (QStringList{"a", "b"}));
}

void BurnPageTest::addFolderTakesOnlyMediaFilesDirectlyInIt() {
    Fixture f;
    f.Tone("folder/x.wav");
    f.Tone("folder/y.mp2");  // a playable file, but not of the compilation's kinds
    f.Tone("folder/sub/z.wav");
    f.Page().AddFolder(QString::fromStdString(f.scratch.File("folder")));
    QCOMPARE(f.Listed(), QStringList{"x"});
    f.Page().AddFolder(QString::fromStdString(f.scratch.File("missing")));
    QCOMPARE(f.Listed(), QStringList{"x"});
}

void BurnPageTest::movesStopAtBothEnds() {
    Fixture f;
    f.AddThree();
    BurnPage& page = f.Page();
    f.Select(0);
    page.MoveUp();
    page.MoveToTop();
    QCOMPARE(f.Listed(), (QStringList{"a", "b", "c"}));
    QCOMPARE(f.SelectedRow(), 0);
    f.Select(2);
    page.MoveDown();
    page.MoveToBottom();
    QCOMPARE(f.Listed(), (QStringList{"a", "b", "c"}));
    QCOMPARE(f.SelectedRow(), 2);
    page.MoveToTop();
    QCOMPARE(f.Listed(), (QStringList{"c", "a", "b"}));
    QCOMPARE(f.SelectedRow(), 0);
    page.MoveToBottom();
    QCOMPARE(f.Listed(), (QStringList{"a", "b", "c"}));
    QCOMPARE(f.SelectedRow(), 2);
    QCOMPARE(page.currentItem(), 2);
    // Without a selected row nothing moves.
    page.fileList()->clearSelection();
    page.MoveUp();
    page.MoveToTop();
    QCOMPARE(f.Listed(), (QStringList{"a", "b", "c"}));
}

void BurnPageTest::moveButtonsAndMenuMoveTheCurrentRow() {
    Fixture f;
    f.AddThree();
    f.Select(1);
    f.Click(1091);  // Move up
    QCOMPARE(f.Listed(), (QStringList{"b", "a", "c"}));
    QCOMPARE(f.SelectedRow(), 0);
    QCOMPARE(f.status.text(), QString("No.: 01, second: 00:00:00.000"));
    f.Click(1092);  // Move down
    f.Click(1092);
    QCOMPARE(f.Listed(), (QStringList{"a", "c", "b"}));
    QCOMPARE(f.SelectedRow(), 2);
    QStringList texts;
    for (QAction* action : f.Page().contextMenu()->actions())
        if (!action->isSeparator()) texts << action->text();
    QCOMPARE(texts, (QStringList{"Move &up", "Move down", "Move to &top", "Move to &bottom",
                                 "&Add files...", "Add &folder...", "&Remove", "&Clear list"}));
    f.Page().contextMenu()->actions().at(2)->trigger();  // Move to top
    QCOMPARE(f.Listed(), (QStringList{"b", "a", "c"}));
}

void BurnPageTest::removeAndClear() {
    Fixture f;
    BurnPage& page = f.Page();
    f.AddThree();
    f.Select(1);
    f.Click(1089);  // Remove
    QCOMPARE(f.Listed(), (QStringList{"a", "c"}));
    QCOMPARE(page.summary()->text(),
             QString("Track Count: 02 ,          Total Duration: 00:00:02"));
    f.Click(1088);  // Clear list
    QCOMPARE(f.Listed(), QStringList{});
    QCOMPARE(page.summary()->text(), kEmptySummary);
    QCOMPARE(page.currentItem(), -1);

    page.AddFiles({f.Tone("only.wav")});
    page.Remove();
    QCOMPARE(page.fileList()->topLevelItemCount(), 0);
    QCOMPARE(page.currentItem(), -1);
    QCOMPARE(page.summary()->text(), kEmptySummary);
}

void BurnPageTest::previewRefusesListEdits() {
    Fixture f;
    BurnPage& page = f.Page();
    f.AddThree();
    f.Select(1);
    f.context.previewActive = true;
    page.MoveUp();
    page.MoveDown();
    page.Remove();
    page.Clear();
    QCOMPARE(f.Listed(), (QStringList{"a", "b", "c"}));
    f.context.previewActive = false;
    page.Remove();
    QCOMPARE(f.Listed(), (QStringList{"a", "c"}));
    page.SetEditingEnabled(false);
    QVERIFY(!page.fileList()->isEnabled());
    QVERIFY(!page.discTypeBox()->isEnabled());
    QVERIFY(!page.controlWidget(1091)->isEnabled());
    QVERIFY(page.writerBox()->isEnabled());  // the writer and its tray stay usable
    QVERIFY(page.controlWidget(1093)->isEnabled());
}

void BurnPageTest::contextMenuOnlyOverTheList() {
    QVERIFY(BurnPage::InContextZone({100, 100}));
    QVERIFY(BurnPage::InContextZone({408, 26}));
    QVERIFY(!BurnPage::InContextZone({409, 100}));
    QVERIFY(!BurnPage::InContextZone({100, 25}));
    Fixture f;
    BurnPage& page = f.Page();
    page.show();
    QContextMenuEvent outside(QContextMenuEvent::Mouse, QPoint(500, 100),
                              page.mapToGlobal(QPoint(500, 100)));
    QApplication::sendEvent(&page, &outside);
    QVERIFY(!page.contextMenu()->isVisible());
    QContextMenuEvent inside(QContextMenuEvent::Mouse, QPoint(100, 100),
                             page.mapToGlobal(QPoint(100, 100)));
    QApplication::sendEvent(&page, &inside);
    QVERIFY(page.contextMenu()->isVisible());
    page.contextMenu()->hide();
}

void BurnPageTest::writableCheckRefusesAClosedDisc() {
    for (int32_t state : {kDiscIncomplete, kDiscComplete}) {
        Fixture f;
        BurnPage& page = f.Page();
        page.AddFiles({f.Tone("a.wav")});
        f.library.overrideMedium = true;
        f.library.discState = state;
        bool asked = false;
        page.SetImageChooser([&](QWidget*, bool) {
            asked = true;
            return QString::fromStdString(f.scratch.File("never.cue"));
        });
        page.StartJob();
        QCOMPARE(f.prompter.messages.size(), size_t(1));
        QCOMPARE(f.prompter.messages[0].caption,
                 std::string("Quelt CD Ripper Pro - Audio CD Burner"));
        QCOMPARE(f.prompter.messages[0].text, std::string("Please insert a writable CD disc !"));
        QVERIFY(!asked);
        QVERIFY(!f.context.burnControl.busy.load());
        QVERIFY(!std::filesystem::exists(f.scratch.File("never.cue")));
    }
}

void BurnPageTest::emptyCompilationRefusesTheStart() {
    Fixture f;
    f.Page().StartJob();
    QCOMPARE(f.prompter.messages.size(), size_t(1));
    QCOMPARE(f.prompter.messages[0].text, std::string("Please add audio files..."));
    QVERIFY(!f.context.burnControl.busy.load());
}

void BurnPageTest::eraseRefusalComesBeforeAnyWarning() {
    Fixture f;
    BurnPage& page = f.Page();
    page.writerBox()->setCurrentIndex(page.writerBox()->count() - 1);
    bool shown = false;
    page.SetEraseDialogRunner([&](EraseDialog& dialog) {
        shown = true;
        QCOMPARE(dialog.writerLine()->text(), QString("Image file writer (CUE/BIN)"));
        QVERIFY(dialog.refused());
        QCOMPARE(dialog.statusLine()->text(), QString("The image file writer has no disc to erase."));
        QVERIFY(!dialog.eraseButton()->isEnabled());
        QVERIFY(dialog.closeButton()->isEnabled());
    });
    f.Click(1095);
    QVERIFY(shown);
    QVERIFY2(f.prompter.questions.empty(), "no warning about losing data");
    QCOMPARE(f.library.erases.load(), 0);
    QCOMPARE(page.mediumState()->text(), QString("Empty Disc"));
}

// A file written as a pseudo-drive is blanked by libburn on the dialog's worker: while the
// worker waits inside the library the dialog's event loop keeps turning, Close stays off,
// and the outcome reads "Erase done".
void BurnPageTest::eraseRunsOnAWorkerWhileTheWindowAnswers() {
    Fixture f;
    f.Page();  // starts the library
    const std::string disc = f.scratch.File("disc.img");
    std::ofstream(disc, std::ios::binary) << std::string(1 << 20, 'x');
    f.library.holdErase = true;
    EraseDialog dialog(f.library, f.prompter, "stdio:" + disc);
    QVERIFY(!dialog.refused());
    QVERIFY(dialog.eraseButton()->isEnabled());
    dialog.show();
    dialog.fullButton()->setChecked(true);
    f.prompter.answers = {true};
    QTest::mouseClick(dialog.eraseButton(), Qt::LeftButton);
    QCOMPARE(f.prompter.questions.size(), size_t(1));
    QVERIFY(dialog.running());
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(1);
    QTRY_VERIFY(f.library.erases.load() == 1 && ticks >= 5);
    QVERIFY(!dialog.closeButton()->isEnabled());
    dialog.reject();
    QVERIFY2(dialog.isVisible(), "no closing while the drive blanks");
    f.library.holdErase = false;
    QTRY_COMPARE_WITH_TIMEOUT(dialog.outcomeLine()->text(), QString("Erase done"), 60000);
    QTRY_VERIFY(!dialog.running());
    QCOMPARE(dialog.progressBar()->value(), 100);
    QVERIFY(dialog.closeButton()->isEnabled());
    QCOMPARE(std::filesystem::file_size(disc), std::uintmax_t(0));
}

void BurnPageTest::imagePathGetsItsExtension() {
    QCOMPARE(ImagePathWithExtension("/m/disc", false), QString("/m/disc.cue"));
    QCOMPARE(ImagePathWithExtension("/m/disc.CUE", false), QString("/m/disc.CUE"));
    QCOMPARE(ImagePathWithExtension("/m/disc.cue", true), QString("/m/disc.cue.iso"));
    QCOMPARE(ImagePathWithExtension("/m/disc.iso", true), QString("/m/disc.iso"));
}

void BurnPageTest::cancelledImageDialogStartsNothing() {
    Fixture f;
    BurnPage& page = f.Page();
    page.AddFiles({f.Tone("a.wav")});
    page.writerBox()->setCurrentIndex(page.writerBox()->count() - 1);
    page.SetImageChooser([](QWidget*, bool) { return QString(); });
    page.StartJob();  // would block in the progress window if a job started
    QVERIFY(f.prompter.messages.empty());
    QVERIFY(!f.context.burnControl.busy.load());
}

void BurnPageTest::startButtonBurnsToTheImageWriter_data() {
    QTest::addColumn<int>("discType");
    QTest::addColumn<QStringList>("written");
    QTest::newRow("Audio CD") << 0 << QStringList{"out.cue", "out.bin", "out.cdt"};
    QTest::newRow("Data  CD(Audio)") << 1 << QStringList{"out.iso"};
}

void BurnPageTest::startButtonBurnsToTheImageWriter() {
    QFETCH(int, discType);
    QFETCH(QStringList, written);
    Fixture f;
    MainWindow::Parts parts;
    BurnPage* page = nullptr;
    parts.burnPage = [&](QWidget* parent) {
        page = new BurnPage(f.skin, f.context, f.library, parent);
        return page;
    };
    MainWindow window(f.skin, f.context, std::move(parts));
    QVERIFY(page);
    window.SwitchMode(300);
    QCOMPARE(page->mediumType()->text(), QString("CD-R"));  // refreshed on show
    page->writerBox()->setCurrentIndex(page->writerBox()->count() - 1);
    page->discTypeBox()->setCurrentIndex(discType);
    window.DropFiles({f.Tone("in/first.wav", 1.0), f.Tone("in/second.flac", 1.5)});
    QCOMPARE(page->compilation().size(), 2);

    const std::string temp = f.scratch.File("temp/");
    page->SetJobSetup([&](BurnJob& job) {
        job.SetStartDelay(std::chrono::milliseconds(0));
        job.SetClosingSound({});
        job.SetTemporaryFolder(temp);
    });
    std::vector<bool> askedForData;
    page->SetImageChooser([&](QWidget*, bool data) {
        askedForData.push_back(data);
        return QString::fromStdString(f.scratch.File("out"));
    });

    QStringList log;
    QString title;
    bool folderButtonShown = true;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, &window, [&] {
        auto* progress = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget());
        if (!progress) return;
        title = progress->windowTitle();
        folderButtonShown = progress->folderButton()->isVisible();
        const int rows = progress->logList()->rowCount();
        if (progress->WorkerRunning() || rows == 0) return;
        if (progress->actionButton()->text() != "Close") return;
        for (int r = 0; r < rows; ++r) log << progress->logList()->item(r, 1)->text();
        progress->actionButton()->click();
    });
    watcher.start(20);
    QTest::mouseClick(window.control<QAbstractButton>(1017), Qt::LeftButton);
    watcher.stop();

    QCOMPARE(askedForData, std::vector<bool>{discType == 1});
    QCOMPARE(title, QString(" Audio CD Burning..."));
    QVERIFY(!folderButtonShown);
    QVERIFY2(!log.isEmpty(), "the progress window never showed the end of the burn");
    QCOMPARE(log.first(), discType == 1 ? QString("Initializing create data CD...")
                                        : QString("Initializing create Audio CD..."));
    QVERIFY(log.contains("Done, 02 track(s) were successfully."));
    QVERIFY(log.contains("Start burning: 02 tracks"));
    QVERIFY(log.contains("Burn Done!"));
    // The log ends with the files the image writer wrote.
    QCOMPARE(log.size() - log.indexOf("Burn Done!") - 1, qsizetype(written.size()));
    for (const QString& name : written)
        QVERIFY(log.contains("Image file written: " + QString::fromStdString(f.scratch.File(name.toStdString()))));
    QVERIFY(!f.context.burnControl.busy.load());
    for (const QString& name : written) {
        const std::string path = f.scratch.File(name.toStdString());
        QVERIFY2(std::filesystem::exists(path), path.c_str());
        QVERIFY(std::filesystem::file_size(path) > 0);
    }
    // The temporary audio went with the end of the burn.
    QVERIFY(!std::filesystem::exists(temp + "01.wav"));
    QVERIFY(!std::filesystem::exists(temp + "02.wav"));
}

QUELT_GUI_TEST(BurnPageTest)
#include "test_burn_page.moc"
