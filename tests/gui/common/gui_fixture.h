// What the page and window tests start from: a scratch folder holding the settings file, a
// scripted prompter, the program's state and the shipped zqr skin, tones made on demand; and
// a job started by the main window's start button, watched in its progress window to the end.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings/app_paths.h"
#include "core/settings/settings.h"
#include "gui/app/main_window.h"
#include "gui/common/app_context.h"
#include "gui/common/progress_window.h"
#include "gui/skin/skin.h"
#include "scripted_prompter.h"
#include "support/fixtures.h"

namespace quelt::test {

struct GuiFixture {
    GuiFixture() : context(scratch.File("zqrprocfg.cfg"), prompter) {
        const std::string ui = "skins/zqr/the.ui";
        skin.Load(QString::fromStdString(ui), true, QString::fromStdString(DataFolder(ui)));
        LoadSettings(context.settings, context.profile);
        context.settings.priority = Priority::kNormal;  // the test process keeps its priority
    }
    // A tone in the scratch folder (its folders made); "" when FFmpeg could not write it.
    QString Tone(const std::string& name, double seconds = 1.0,
                 std::vector<std::pair<std::string, std::string>> tags = {}) {
        const std::string path = scratch.File(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        ToneOptions tone;
        tone.seconds = seconds;
        tone.tags = std::move(tags);
        return MakeTone(path, tone) ? QString::fromStdString(path) : QString();
    }

    ScratchDir scratch;
    ScriptedPrompter prompter;
    AppContext context;
    Skin skin;
};

// What the progress window showed of a job, read once the job had ended.
struct JobSeen {
    QString title;
    QStringList log;
    bool folderButtonShown = false;
};

// Presses the start button of `window` and waits in the progress window until its job has
// ended; then runs `atEnd` on it, reads it and closes it.
inline JobSeen PressStartAndWait(MainWindow& window,
                                 const std::function<void(ProgressWindow&)>& atEnd = {}) {
    JobSeen seen;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, &window, [&] {
        auto* progress = qobject_cast<ProgressWindow*>(QApplication::activeModalWidget());
        if (!progress) return;
        seen.title = progress->windowTitle();
        seen.folderButtonShown = progress->folderButton()->isVisible();
        const int rows = progress->logList()->rowCount();
        if (progress->WorkerRunning() || rows == 0) return;
        if (progress->actionButton()->text() != "Close") return;
        if (atEnd) atEnd(*progress);
        for (int r = 0; r < rows; ++r) seen.log << progress->logList()->item(r, 1)->text();
        progress->actionButton()->click();
    });
    watcher.start(20);
    QTest::mouseClick(window.control<QAbstractButton>(1017), Qt::LeftButton);
    return seen;
}

}  // namespace quelt::test
