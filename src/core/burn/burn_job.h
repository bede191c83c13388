// The burn job: decodes every file of the compilation into a temporary WAV (44100 Hz,
// stereo) with the transcoding pipeline, then hands those files to the BurnerLibrary as an
// Audio CD or a data CD, reporting each step through a JobReport.
//
// How a front end runs it (the GUI's start button in burner mode, `quelt-cli burn`):
//   1. CheckBurnStart shows "No support CD Burner!", "Please add audio files..." or
//      "Please insert a writable CD disc !" and the job is not started.
//   2. control.Start(), ApplyPriorityToThisThread(settings.priority).
//   3. Build the BurnJob from its parameters and call Run(report, control) on the thread
//      that does the work (the GUI's job runner, the command line's main thread).
//   4. The abort button / Ctrl-C sets control.cancel during the decode pass, or while an
//      image file is written (a disc in a writer is written to the end).
//   5. Run() returns when the job has ended: after the library's burn-done callback, or
//      after a decode pass that burns nothing (cancelled). Until then control.busy stays
//      raised.
// Threading: Run() registers the library's callbacks, which come on the library's own
// thread and write to the JobReport too; it unregisters them before it returns. The job
// owns copies of the settings and the file list.
//
// The temporary WAVs carry each source's title and artist and the volume label as album,
// from which the writers build the CD-Text; an Audio CD's track shorter than 4 seconds is
// padded with silence (and logged). The files are removed when the job ends, however it
// ends; what a crashed burn left is removed when the next one starts.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/burn/burn_temp_files.h"
#include "core/burn/burner_library.h"
#include "core/jobs/item_result.h"
#include "core/jobs/job_control.h"
#include "core/jobs/job_report.h"
#include "core/jobs/prompter.h"
#include "core/settings/settings.h"

namespace quelt {

inline constexpr const char* kNoSupportBurnerText = "No support CD Burner!";
inline constexpr const char* kAddAudioFilesText = "Please add audio files...";
inline constexpr const char* kInsertWritableDiscText = "Please insert a writable CD disc !";

struct BurnRequest {
    std::vector<std::string> sources;  // the compilation's paths, in order
    bool dataCd = false;               // the disc-type list shows "Data  CD(Audio)"
    std::string writerText;            // the writer list's selected entry; "" for none
    int writerCount = 0;               // writers found when the page started the library
    std::string imagePath;             // the image file writer's target; "" for others
};

// The burn start's checks 1 to 3; shows the failing one's message (caption
// kBurnCaption) and returns false.
bool CheckBurnStart(const BurnRequest& request, BurnerLibrary& library, Prompter& prompter,
                    const BurnerResultSink& sink = {});

// What the job did, as Run() returns it.
struct BurnSummary {
    // One per source: done once burnt; failed with the reason (its own, a limit the
    // compilation breaks, or the burn's error); cancelled when a cancel left it unburnt.
    std::vector<ItemResult> items;
    int decoded = 0;             // temporary files written completely
    bool cancelled = false;      // the decode pass, or the write of an image, was cancelled
    bool burnStarted = false;    // Burn() was called
    bool burnSucceeded = false;  // burn-done came with an empty text
    std::string burnError;       // burn-done's text when it was not empty

    int failed() const { return CountItems(items, ItemState::kFailed); }
};

struct BurnJobParameters {
    Settings settings;  // a copy
    BurnRequest request;
    int startDelayMs = 500;  // lets the progress window appear before the first file
    std::function<void(bool done)> closingSound;  // Done (true) or Fail (false); may be empty
    BurnerResultSink resultSink;  // where ReportBurnerResult's texts go; may be empty
    std::string temporaryFolder;  // the temporary WAVs' folder; empty: BurnTempFolder()
};

class BurnJob {
  public:
    // `library` must outlive the job.
    BurnJob(BurnerLibrary& library, BurnJobParameters parameters);
    ~BurnJob();
    BurnJob(const BurnJob&) = delete;
    BurnJob& operator=(const BurnJob&) = delete;

    // The whole job, reporting through `report`: both passes, then the wait for the
    // library's burn-done. Call once.
    BurnSummary Run(JobReport& report, JobControl& control);
    // True once the job has ended (Run() is about to return, or has returned).
    bool Ended() const;

    // The temporary files written by this job, in compilation order; removed from disk
    // when the job ends. Valid once Ended().
    const std::vector<std::string>& temporaryFiles() const { return temporary_; }

    // The temporary file of the file at 0-based position `index`: "<folder>01.wav", ...
    static std::string TemporaryFileName(const std::string& folder, int index);

  private:
    struct FileProgress;
    void RegisterCallbacks();
    void UnregisterCallbacks();
    void WaitUntilEnded();
    // The compilation's limits, checked before any decoding; false (after logging the
    // limit) when the disc cannot take it.
    bool WithinLimits();
    // True when the burn pass follows (the pass was not cancelled).
    bool DecodePass();
    void DecodeOne(int index);
    // Logs the line that concludes a source's decoding (when there is one) and records it.
    void Conclude(int index, ItemState state, const std::string& line);
    // Gives every item in `from` the state `to` (and the reason, when there is one).
    void Reconclude(ItemState from, ItemState to, const std::string& reason);
    void OnPosition(FileProgress& file, int64_t ms);
    void PadShortTrack(const std::string& source, const std::string& temporary);
    void LogImageFiles();
    void BurnPass();
    int32_t Report(int32_t code);

    void OnProcess(float percent);
    void OnFinalize();
    void OnBurnDone(const std::string& error);
    void MarkEnded(bool burnDone, bool workerDone);

    Settings settings_;
    BurnRequest request_;
    BurnerLibrary& library_;
    JobReport* report_ = nullptr;    // during Run()
    JobControl* control_ = nullptr;  // during Run()
    std::chrono::milliseconds startDelay_;
    std::function<void(bool)> sound_;
    BurnerResultSink sink_;
    std::string temporaryFolder_;

    std::vector<std::string> temporary_;
    std::unique_ptr<BurnTempFolderHold> temporaryHold_;
    BurnSummary summary_;
    int itemBar_ = 0;
    int totalBar_ = 0;

    bool registered_ = false;
    mutable std::mutex mutex_;
    std::condition_variable endedChanged_;
    bool workerDone_ = false;
    bool burnDone_ = false;  // burn-done came, or no burn follows
};

}  // namespace quelt
