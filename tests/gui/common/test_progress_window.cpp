// The task progress window: titles and buttons by mode, the abort confirmations, the
// numbered log, updates from a worker thread, and the refusal to close while busy.
#include <sys/resource.h>
#include <unistd.h>

#include <QAction>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <thread>

#include "core/settings/settings.h"
#include "gui/common/job_runner.h"
#include "gui/common/progress_window.h"
#include "gui_test_main.h"
#include "scripted_prompter.h"

using quelt::JobControl;
using quelt::ProgressWindow;
using quelt::test::ScriptedPrompter;

class ProgressWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void titleButtonsAndAbortQuestionByMode_data();
    void titleButtonsAndAbortQuestionByMode();
    void closesOnlyAfterTheJobAndItsWorkerEnded();
    void folderButtonOpensTheModesFolder();
    void logRowsAreNumberedAndCanBeCopied();
    void runnerShowsWorkerUpdatesAndWaitsForIt();
};

void ProgressWindowTest::titleButtonsAndAbortQuestionByMode_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("folderButton");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("yesClearsBusy");
    QTest::newRow("rip") << 100 << " Audio CD Ripping ..." << true << "Audio CD Ripper"
                         << "Abort the Audio CD ripping ?" << false;
    QTest::newRow("convert") << 200 << " Audio File Converting... " << true
                             << "Audio File Converter"
                             << "Abort the audio file convert?" << true;
    QTest::newRow("burn") << 300 << " Audio CD Burning..." << false << "Audio CD Burner"
                          << "Abort the audio file burn?" << true;
}

void ProgressWindowTest::titleButtonsAndAbortQuestionByMode() {
    QFETCH(int, mode);
    QFETCH(QString, title);
    QFETCH(bool, folderButton);
    QFETCH(QString, caption);
    QFETCH(QString, question);
    QFETCH(bool, yesClearsBusy);
    JobControl control;
    control.Start();
    ScriptedPrompter prompter;
    ProgressWindow window(mode, control, prompter, "/tmp/");
    window.SetWorkerRunning(true);
    window.show();
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(window.folderButton()->isVisible(), folderButton);

    prompter.answers = {false};
    window.PressActionButton();
    QCOMPARE(prompter.questions.size(), size_t(1));
    QCOMPARE(QString::fromStdString(prompter.questions[0].caption), caption);
    QCOMPARE(QString::fromStdString(prompter.questions[0].text), question);
    QVERIFY(!control.cancel.load());
    QVERIFY(control.busy.load());
    QVERIFY(window.isVisible());

    prompter.answers = {true};
    window.PressActionButton();
    QVERIFY(control.cancel.load());
    QCOMPARE(control.busy.load(), !yesClearsBusy);
    QVERIFY(window.isVisible());

    // Abort requested, the worker still finishing: the button does not close the window.
    control.busy = false;
    window.PressActionButton();
    QVERIFY(window.isVisible());
    QCOMPARE(prompter.questions.size(), size_t(2));
}

// While busy or while the worker runs, nothing closes the window; once the job has ended
// "Close" closes it without a question.
void ProgressWindowTest::closesOnlyAfterTheJobAndItsWorkerEnded() {
    JobControl control;
    ScriptedPrompter prompter;
    ProgressWindow window(300, control, prompter, "/tmp/");
    window.show();
    control.Start();
    window.SetWorkerRunning(true);
    QVERIFY(!window.close());
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
    control.busy = false;  // an abort request cleared the flag; the worker still runs
    QVERIFY(!window.close());
    window.SetWorkerRunning(false);
    window.SetButton("Close", true);
    window.PressActionButton();
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(prompter.questions.empty());
}

void ProgressWindowTest::folderButtonOpensTheModesFolder() {
    QTemporaryDir scratch;
    const QString folder = scratch.filePath("music/zqr_output/");
    JobControl control;
    ScriptedPrompter prompter;
    ProgressWindow window(200, control, prompter, folder);
    QStringList opened;
    bool opens = true;
    window.SetFolderOpener([&](const QString& path) {
        opened << path;
        return opens;
    });
    window.show();
    // A folder that nothing was written to yet is made, then opened.
    QTest::mouseClick(window.folderButton(), Qt::LeftButton);
    QCOMPARE(opened, QStringList{folder});
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(window.logList()->rowCount(), 0);

    // When no program opens it, the log says so instead of nothing happening.
    opens = false;
    QTest::mouseClick(window.folderButton(), Qt::LeftButton);
    QCOMPARE(window.logList()->rowCount(), 1);
    QVERIFY(window.logList()->item(0, 1)->text().contains(folder));
    QVERIFY(window.logList()->item(0, 1)->text().contains("could open"));

    // A folder that cannot be made is reported too.
    QFile blocker(scratch.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    ProgressWindow blocked(100, control, prompter, scratch.filePath("file/out/"));
    blocked.SetFolderOpener([&](const QString& path) {
        opened << path;
        return true;
    });
    blocked.OpenOutputFolder();
    QCOMPARE(opened.size(), 2);
    QCOMPARE(blocked.logList()->rowCount(), 1);
    QVERIFY(blocked.logList()->item(0, 1)->text().contains("cannot be created"));
}

// Lines come from a worker thread, numbered; a long line shows whole on hover, and lines
// can be copied.
void ProgressWindowTest::logRowsAreNumberedAndCanBeCopied() {
    JobControl control;
    ScriptedPrompter prompter;
    ProgressWindow window(200, control, prompter, "/tmp/");
    QCOMPARE(window.logList()->horizontalHeaderItem(1)->text(), QString("Convert Log"));
    const QString longLine = "Encoding file: " + QString(300, QChar('x')) + ".wav";
    std::thread worker([&] {
        for (int i = 1; i <= 100; ++i) window.Log("line " + std::to_string(i));
        window.Log(longLine.toStdString());
    });
    worker.join();
    QTRY_COMPARE(window.logList()->rowCount(), 101);
    QCOMPARE(window.logList()->item(8, 0)->text(), QString("09"));
    QCOMPARE(window.logList()->item(99, 0)->text(), QString("100"));
    QCOMPARE(window.logList()->item(99, 1)->text(), QString("line 100"));
    QCOMPARE(window.logList()->item(100, 1)->toolTip(), longLine);

    const QList<QAction*> actions = window.logList()->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(window.logList()->contextMenuPolicy(), Qt::ActionsContextMenu);
    window.logList()->selectRow(100);
    actions[0]->trigger();  // "Copy"
    QCOMPARE(QApplication::clipboard()->text(), "101\t" + longLine);
    actions[1]->trigger();  // "Copy all"
    QVERIFY(QApplication::clipboard()->text().startsWith("01\tline 1\n02\tline 2\n"));
}

void ProgressWindowTest::runnerShowsWorkerUpdatesAndWaitsForIt() {
    JobControl control;
    ScriptedPrompter prompter;
    ProgressWindow window(200, control, prompter, "/tmp/");
    std::atomic<bool> release{false};
    // Presses the button until the window closes; it must not close before the worker ends.
    QTimer presser;
    int pressesWhileRunning = 0;
    connect(&presser, &QTimer::timeout, &window, [&] {
        if (window.WorkerRunning()) {
            ++pressesWhileRunning;
            if (pressesWhileRunning == 3) release = true;
        }
        if (window.isVisible()) window.PressActionButton();
    });
    presser.start(20);
    // "IDLE" lowers the worker alone; the window's thread keeps its priority.
    const int windowNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    std::atomic<int> workerNice{-100};
    const bool ran = quelt::RunJobUnderProgressWindow(window, control, quelt::Priority::kIdle, [&] {
        workerNice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
        window.SetButton("Abort Convert", true);
        window.Log("Initializing...");
        window.SetItemBar(40);
        window.SetTotalBar(20);
        window.SetInputLine("Input Audio : a.mp3");
        window.SetPositionLine("Current Postion : 100 %");
        window.SetCounterLine("Converting : track no. 01  / 01 tracks");
        window.SetBatchLine("Total Postion : 100 %");
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        window.Log("Done, 01 track(s) were successfully.");
        window.SetButton("Close", true);
        control.busy = false;
    });
    QVERIFY(ran);
    QCOMPARE(workerNice.load(), 19);
    QCOMPARE(getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())), windowNice);
    QVERIFY(pressesWhileRunning >= 3);
    QVERIFY(!window.WorkerRunning());
    QCOMPARE(window.logList()->rowCount(), 2);
    QCOMPARE(window.logList()->item(1, 1)->text(), QString("Done, 01 track(s) were successfully."));
    QCOMPARE(window.itemBar()->value(), 40);
    QCOMPARE(window.totalBar()->value(), 20);
    QCOMPARE(window.counterLine()->text(), QString("Converting : track no. 01  / 01 tracks"));
    QCOMPARE(window.actionButton()->text(), QString("Close"));
}

QUELT_GUI_TEST(ProgressWindowTest)
#include "test_progress_window.moc"
