// The burner page: the writer list with the image file writer last and its medium lines,
// the rows, summary and position line, the buttons and the menu on the list, the start's
// refusals, erasing only after a yes on a worker, and a burn to the image file writer started
// from the start button running to "Burn Done!". The compilation's and the medium's own
// rules (moves at the ends, removal, preview hold, adding a folder, the writable check) are
// the core's tests.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
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
#include "gui/burn/burn_page.h"
#include "gui/burn/burn_start.h"
#include "gui/burn/erase_dialog.h"
#include "gui_fixture.h"
#include "gui_test_main.h"

using namespace quelt;

namespace {

// The real library, counting the erase calls and holding one back on request.
class HeldErase : public BurnerLibrary {
  public:
    explicit HeldErase(BurnerLibrary& real) : real_(real) {}

    std::atomic<int> erases{0};
    std::atomic<bool> holdErase{false};

    int32_t GetMediumInformation(MediumInformation& info) override {
        return real_.GetMediumInformation(info);
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

struct Fixture : test::GuiFixture {
    Fixture() : library(real) {}
    BurnPage& Page() {
        if (!page) {
            page = std::make_unique<BurnPage>(skin, context, library);
            page->setStatusLine(&status);
        }
        return *page;
    }
    QStringList Listed() {
        QStringList names;
        for (int i = 0; i < Page().fileList()->topLevelItemCount(); ++i)
            names << QFileInfo(Page().fileList()->topLevelItem(i)->text(1)).completeBaseName();
        return names;
    }
    void Select(int row) {
        Page().fileList()->setCurrentItem(Page().fileList()->topLevelItem(row));
    }
    void Click(int id) { QTest::mouseClick(Page().control<QAbstractButton>(id), Qt::LeftButton); }
    void UseImageWriter() { Page().writerBox()->setCurrentIndex(Page().writerBox()->count() - 1); }

    LibburnBurner real;
    HeldErase library;
    QLabel status;
    std::unique_ptr<BurnPage> page;
};

}  // namespace

class BurnPageTest : public QObject {
    Q_OBJECT
  private slots:
    void buttonsAndMenuActOnTheRows();
    void startIsRefusedWithoutFilesOrAnImagePath();
    void eraseRefusalComesBeforeAnyWarning();
    void eraseRunsOnAWorkerWhileTheWindowAnswers();
    void startButtonBurnsToTheImageWriter_data();
    void startButtonBurnsToTheImageWriter();
};

void BurnPageTest::buttonsAndMenuActOnTheRows() {
    Fixture f;
    BurnPage& page = f.Page();
    QVERIFY(page.isSkinned());
    const int count = page.writers().writerCount;
    QCOMPARE(page.writerBox()->count(), count);
    QCOMPARE(page.writerBox()->itemText(count - 1), QString("Image file writer (CUE/BIN)"));
    QCOMPARE(page.summary()->text(), kEmptySummary);
    const QString a = f.Tone("in/a.wav", 1.0), b = f.Tone("dir/b.wav", 2.5);
    const QString c = f.Tone("in/c.wav", 1.0);
    QStringList chosenFiles{a, c};
    QString chosenFolder = QFileInfo(b).absolutePath();
    page.SetFileChooser([&](QWidget*) { return chosenFiles; });
    page.SetFolderChooser([&](QWidget*) { return chosenFolder; });
    f.Click(1087);  // Add files
    f.Click(1090);  // Add folder
    chosenFiles.clear();  // cancelled dialogs add nothing
    chosenFolder.clear();
    f.Click(1087);
    f.Click(1090);
    QCOMPARE(f.Listed(), (QStringList{"a", "c", "b"}));
    QTreeWidget* list = page.fileList();
    QCOMPARE(page.summary()->text(),
             QString("Track Count: 03 ,          Total Duration: 00:00:04.500"));
    // The first add made its last row current, later adds keep it; the position line
    // follows the selection.
    QCOMPARE(page.currentItem(), 1);
    QCOMPARE(f.status.text(), QString("No.: 02, second: 00:00:00.000"));

    f.Select(1);
    f.Click(1091);  // Move up
    QCOMPARE(f.Listed(), (QStringList{"c", "a", "b"}));
    QCOMPARE(f.status.text(), QString("No.: 01, second: 00:00:00.000"));
    f.Click(1092);  // Move down
    f.Click(1092);
    QCOMPARE(f.Listed(), (QStringList{"a", "b", "c"}));
    QCOMPARE(page.currentItem(), 2);
    QCOMPARE(page.contextMenu()->actions().at(2)->text(), QString("Move to &top"));
    page.contextMenu()->actions().at(2)->trigger();
    QCOMPARE(f.Listed(), (QStringList{"c", "a", "b"}));
    f.Select(1);
    f.Click(1089);  // Remove
    QCOMPARE(f.Listed(), (QStringList{"c", "b"}));
    list->clearSelection();
    QCOMPARE(page.currentItem(), -1);
    QCOMPARE(f.status.text(), QString("No.: 0, second: 00:00:00.000"));
    f.Click(1088);  // Clear list
    QCOMPARE(f.Listed(), QStringList{});
    QCOMPARE(page.summary()->text(), kEmptySummary);

    // While a preview holds the page the list and its buttons are off; the writer and its
    // tray stay usable.
    page.SetEditingEnabled(false);
    QVERIFY(!page.fileList()->isEnabled());
    QVERIFY(!page.discTypeBox()->isEnabled());
    QVERIFY(!page.controlWidget(1091)->isEnabled());
    QVERIFY(page.writerBox()->isEnabled());
    QVERIFY(page.controlWidget(1093)->isEnabled());
}

void BurnPageTest::startIsRefusedWithoutFilesOrAnImagePath() {
    Fixture f;
    BurnPage& page = f.Page();
    page.StartJob();
    QCOMPARE(f.prompter.messages.size(), size_t(1));
    QCOMPARE(f.prompter.messages[0].text, std::string("Please add audio files..."));
    QCOMPARE(f.prompter.messages[0].caption, std::string("Quelt CD Ripper Pro - Audio CD Burner"));

    // The image writer asks for its path; a cancelled dialog starts nothing (a started job
    // would block here in its progress window).
    page.AddFiles({f.Tone("a.wav")});
    bool asked = false;
    page.SetImageChooser([&](QWidget*, bool) {
        asked = true;
        return QString();
    });
    f.UseImageWriter();
    page.StartJob();
    QVERIFY(asked);
    QCOMPARE(f.prompter.messages.size(), size_t(1));
    QVERIFY(!f.context.burnControl.busy.load());

    QCOMPARE(ImagePathWithExtension("/m/disc", false), QString("/m/disc.cue"));
    QCOMPARE(ImagePathWithExtension("/m/disc.CUE", false), QString("/m/disc.CUE"));
    QCOMPARE(ImagePathWithExtension("/m/disc.cue", true), QString("/m/disc.cue.iso"));
}

void BurnPageTest::eraseRefusalComesBeforeAnyWarning() {
    Fixture f;
    BurnPage& page = f.Page();
    f.UseImageWriter();
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
        return page = new BurnPage(f.skin, f.context, f.library, parent);
    };
    MainWindow window(f.skin, f.context, std::move(parts));
    window.SwitchMode(300);  // refreshes the medium lines
    QCOMPARE(page->mediumType()->text(), QString("CD-R"));
    QCOMPARE(page->mediumState()->text(), QString("Empty Disc"));
    QCOMPARE(page->mediumSize()->text(), QString("703.12MB"));  // 360000 sectors of 2048 bytes
    page->writerBox()->setCurrentIndex(page->writerBox()->count() - 1);
    page->discTypeBox()->setCurrentIndex(discType);
    window.DropFiles({f.Tone("in/first.wav", 1.0), f.Tone("in/second.flac", 1.5)});
    QCOMPARE(page->compilation().size(), 2);

    const std::string temp = f.scratch.File("temp/");
    page->SetJobSetup([&](BurnJobParameters& job) {
        job.startDelayMs = 0;
        job.closingSound = {};
        job.temporaryFolder = temp;
    });
    std::vector<bool> askedForData;
    page->SetImageChooser([&](QWidget*, bool data) {
        askedForData.push_back(data);
        return QString::fromStdString(f.scratch.File("out"));
    });

    const test::JobSeen seen = test::PressStartAndWait(window);
    QCOMPARE(askedForData, std::vector<bool>{discType == 1});
    QCOMPARE(seen.title, QString(" Audio CD Burning..."));
    QVERIFY(!seen.folderButtonShown);
    QVERIFY2(!seen.log.isEmpty(), "the progress window never showed the end of the burn");
    QCOMPARE(seen.log.first(), discType == 1 ? QString("Initializing create data CD...")
                                             : QString("Initializing create Audio CD..."));
    QVERIFY(seen.log.contains("Start burning: 02 tracks"));
    // The log ends with the files the image writer wrote.
    QCOMPARE(seen.log.size() - seen.log.indexOf("Burn Done!") - 1, qsizetype(written.size()));
    for (const QString& name : written) {
        const std::string path = f.scratch.File(name.toStdString());
        QVERIFY(seen.log.contains("Image file written: " + QString::fromStdString(path)));
        QVERIFY2(std::filesystem::exists(path) && std::filesystem::file_size(path) > 0,
                 path.c_str());
    }
    QVERIFY(!f.context.burnControl.busy.load());
    // The temporary audio went with the end of the burn.
    QVERIFY(!std::filesystem::exists(temp + "01.wav"));
}

QUELT_GUI_TEST(BurnPageTest)
#include "test_burn_page.moc"
