// What a command shows while a job runs, in place of the progress window and its message
// boxes: the log on standard output, one progress line on standard error when that is a
// terminal, and the job's questions answered without asking.
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "cli/progress_clock.h"
#include "core/jobs/job_report.h"
#include "core/jobs/prompter.h"

namespace quelt::cli {

// Thread-safe: a job's workers and the burning library's callback thread log at once.
class ConsoleReport : public JobReport {
  public:
    // `totalAudioMs`: the playing time the job works through, for the speed on the progress
    // line (0 when unknown).
    explicit ConsoleReport(long long totalAudioMs);
    ~ConsoleReport() override;  // clears the progress line

    void Log(const std::string& text) override;
    void SetItemBar(int percent) override;
    void SetTotalBar(int percent) override;
    // The item counter ("Converting : track no. 01 / 14 tracks") heads the progress line.
    void SetCounterLine(const std::string& text) override;
    void SetInputLine(const std::string&) override {}
    void SetPositionLine(const std::string&) override {}
    void SetBatchLine(const std::string&) override {}
    void SetButton(const std::string&, bool) override {}

    // Clears the progress line before the command prints its last lines.
    void Finish();

  private:
    void Draw();
    void Clear();

    std::mutex mutex_;
    const bool terminal_;
    bool drawn_ = false;
    int item_ = 0;
    int total_ = 0;
    std::string counter_;
    const ProgressClock clock_;
};

// Messages go to standard error after `prefix` ("quelt-cli burn: "); every question gets
// `answer`, printed after it so that the log says what was decided.
class ConsolePrompter : public Prompter {
  public:
    ConsolePrompter(std::string prefix, bool answer)
        : prefix_(std::move(prefix)), answer_(answer) {}

    bool AskYesNo(const std::string& caption, const std::string& text) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;

    bool shown() const { return shown_; }  // a message was shown

  private:
    std::string prefix_;
    bool answer_;
    bool shown_ = false;
};

// The closing sound of a command's job: for someone watching at a terminal, none for a
// script or a pipe. Leaving the scope lets a sound that plays finish before the exit.
class ConsoleClosingSound {
  public:
    ConsoleClosingSound();
    ~ConsoleClosingSound();
    ConsoleClosingSound(const ConsoleClosingSound&) = delete;
    ConsoleClosingSound& operator=(const ConsoleClosingSound&) = delete;

    // What the job plays at its end (Done or Fail); empty when standard output is no terminal.
    std::function<void(bool done)> sound() const;

  private:
    const bool terminal_;
};

}  // namespace quelt::cli
