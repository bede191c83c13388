// The modal window that every long job shows while its worker runs: a numbered log, the
// item and total bars, four text lines, "Open output directory" and the abort/close button.
//
// Threading: the JobReport calls may come from any thread; each one is carried out on the
// GUI thread (queued when called from elsewhere), so the worker never touches a widget.
// The window refuses to close while its job is busy or its worker thread still runs, so
// it outlives every update the worker sends; the runner joins the worker before the
// window is destroyed.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "core/jobs/job_control.h"
#include "core/jobs/job_report.h"
#include "core/jobs/prompter.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace quelt {

class ProgressWindow : public QDialog, public JobReport {
    Q_OBJECT
  public:
    // `mode` is the AppMode the window serves (100 rip, 200 convert, 300 burn); `control`
    // holds that job's busy and cancel flags; `outputFolder` is what the folder button opens.
    ProgressWindow(int mode, JobControl& control, Prompter& prompter, QString outputFolder,
                   QWidget* parent = nullptr);

    void Log(const std::string& text) override;
    void SetItemBar(int percent) override;
    void SetTotalBar(int percent) override;
    void SetInputLine(const std::string& text) override;
    void SetPositionLine(const std::string& text) override;
    void SetCounterLine(const std::string& text) override;
    void SetBatchLine(const std::string& text) override;
    void SetButton(const std::string& caption, bool enabled) override;

    // GUI thread: whether the job's worker thread is running (set by the job runner).
    void SetWorkerRunning(bool running);
    bool WorkerRunning() const { return workerRunning_; }
    // Replaces how the output folder is opened (the desktop's file manager by default); the
    // opener returns false when nothing could open it, which the log then says.
    void SetFolderOpener(std::function<bool(const QString&)> opener);
    // "Open output directory": makes the folder when it is missing, then opens it.
    void OpenOutputFolder();
    // The log as "ID<TAB>text" lines: the selected rows, or every row.
    QString LogText(bool selectedOnly) const;
    int mode() const { return mode_; }

    QTableWidget* logList() const { return log_; }
    QPushButton* actionButton() const { return action_; }
    QPushButton* folderButton() const { return folder_; }
    QProgressBar* itemBar() const { return itemBar_; }
    QProgressBar* totalBar() const { return totalBar_; }
    QLabel* counterLine() const { return counter_; }

    // The abort-or-close button's action (also reachable for tests without a click).
    void PressActionButton();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    template <typename F>
    void OnGuiThread(F&& f);
    bool JobStillRunning() const;
    void AppendLogRow(const QString& text);

    int mode_;
    JobControl& control_;
    Prompter& prompter_;
    QString outputFolder_;
    bool workerRunning_ = false;
    std::function<bool(const QString&)> openFolder_;

    QLabel* input_;
    QLabel* position_;
    QLabel* counter_;
    QLabel* batch_;
    QProgressBar* itemBar_;
    QProgressBar* totalBar_;
    QTableWidget* log_;
    QPushButton* folder_;
    QPushButton* action_;
};

}  // namespace quelt
