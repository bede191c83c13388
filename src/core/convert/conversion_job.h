// The conversion job: turns every file of the converter's list into a file of the chosen
// output format and preset, reporting each step through a JobReport.
//
// How a front end runs it (the GUI's start button, `quelt-cli convert`):
//   1. When the list is empty, CheckConvertList shows "Please add audio files..." and the
//      job is not started.
//   2. control.Start() (cancel cleared, busy raised), ApplyPriorityToThisThread(settings.priority).
//   3. Build the ConversionJob from its parameters (it parses the preset and sets its copy
//      of the settings' convertExtension) and call Run(report, control) on a thread of its
//      own.
//   4. The abort button / Ctrl-C sets control.cancel (the GUI also clears control.busy, as
//      the abort request does). Run() returns after its last step; control.busy is false
//      from then on.
// Threading: Run() converts up to settings.convert.jobs files at once (0: one per core), on
// threads it starts and joins itself; the JobReport is called from those threads, through an
// OrderedReport so that the window reads as a one-file-at-a-time batch. Output names are
// chosen in list order, so a batch gets the names a one-file-at-a-time run would give. The
// job owns copies of everything else, so the caller may change its own list and settings
// meanwhile.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/catalogue/catalogue.h"
#include "core/jobs/item_result.h"
#include "core/jobs/job_control.h"
#include "core/jobs/job_report.h"
#include "core/jobs/prompter.h"
#include "core/settings/settings.h"
#include "core/transcode/loudness_meter.h"

namespace quelt {

class OrderedReport;

// One file of the converter's list: its path and the tags as read (and edited by the user).
struct ConvertItem {
    std::string path;
    std::string artist, album, title, year, genre, comment, copyright;
    int64_t durationMs = 0;
};

// The text the start routine shows (caption kConvertCaption) when the list is empty.
inline constexpr const char* kPleaseAddFilesText = "Please add audio files...";

// When `items` is empty: shows kPleaseAddFilesText through the prompter and returns false.
bool CheckConvertList(const std::vector<ConvertItem>& items, Prompter& prompter);

// What a finished Run() did, for front ends that report an exit status.
struct ConversionSummary {
    std::vector<ItemResult> items;  // one per file of the list, by source path
    bool cancelled = false;

    int finished() const { return CountItems(items, ItemState::kDone); }  // the final line's count
    int skipped() const { return CountItems(items, ItemState::kSkipped); }  // by "IfExists" 2
    int failed() const { return CountItems(items, ItemState::kFailed); }
};

struct ConversionJobParameters {
    Settings settings;  // a copy; convertExtension is set from formatRow
    std::vector<ConvertItem> items;
    int formatRow = 0;        // 0..12 (rows 0..4 force AAC)
    std::string presetLabel;  // as the preset list shows it ("128kbit/s 44100Hz Stereo ")
    int startDelayMs = 500;   // lets the progress window appear before the first file
    std::function<void(bool done)> closingSound;  // Done (true) or Fail (false); may be empty
};

class ConversionJob {
  public:
    explicit ConversionJob(ConversionJobParameters parameters);

    // The worker: converts the batch, reporting through `report`, and returns what became of
    // each file. Clears control.busy at its end.
    ConversionSummary Run(JobReport& report, JobControl& control);
    // Files converted at once: the "Jobs" setting, or the number of cores when it is 0.
    int Parallelism() const;

  private:
    struct FileProgress;
    struct Started;
    OrderedReport* ordered_ = nullptr;  // during Run()
    void Work();
    // Takes the next file in list order and claims its output name; false when none is left.
    bool StartNext(Started& started);
    void ConvertOne(Started& started);
    void EndFile(size_t index);
    void OnPosition(FileProgress& file, int64_t ms);
    void AdvanceBars(FileProgress& file, int percent, double exactPercent);

    Settings settings_;
    std::vector<ConvertItem> items_;
    int formatRow_;
    EncodeParameters preset_;
    std::chrono::milliseconds startDelay_;
    std::function<void(bool)> sound_;
    JobReport* report_ = nullptr;    // during Run()
    JobControl* control_ = nullptr;  // during Run()
    ConversionSummary summary_;
    int totalBar_ = 0;

    // Shared by the workers, under mutex_.
    std::mutex mutex_;
    std::condition_variable fileEnded_;
    size_t next_ = 0;                   // the next file to start
    std::vector<int> percent_;          // each file's progress; 100 once it has ended
    std::vector<std::string> writing_;  // the output path of each file started and not ended

    // ReplayGain: each file's meter and, once its output is complete, its path and loudness.
    std::vector<std::unique_ptr<LoudnessMeter>> meters_;
    std::vector<std::pair<std::string, Loudness>> measured_;
    void WriteReplayGain();
};

}  // namespace quelt
