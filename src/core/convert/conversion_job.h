// The conversion job: turns every file of the converter's list into a file of the chosen
// output format and preset, reporting each step through a JobReport.
//
// How a front end runs it (the GUI's start button, `quelt-cli convert`):
//   1. When the list is empty, CheckConvertList shows "Please add audio files..." and the
//      job is not started.
//   2. control.Start() (cancel cleared, busy raised), ApplyPriority(settings.priority).
//   3. Build the ConversionJob (it copies the settings and the list, parses the preset and
//      sets its own copy's convertExtension) and call Run() on a std::thread of its own.
//   4. The abort button / Ctrl-C sets control.cancel (the GUI also clears control.busy, as
//      the abort request does). Run() returns after its last step; control.busy is false
//      from then on.
// Threading: Run() calls the JobReport and reads JobControl from the thread it runs on;
// the job owns copies of everything else, so the caller may change its own list and
// settings meanwhile.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/jobs/job_control.h"
#include "core/jobs/job_report.h"
#include "core/jobs/prompter.h"
#include "core/settings/settings.h"
#include "core/transcode/catalogue.h"

namespace quelt {

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
    int finished = 0;  // outputs written completely (the count of the final line)
    int skipped = 0;   // passed over by "IfExists" 2
    int failed = 0;    // could not be opened, created or written
    bool cancelled = false;
};

class ConversionJob {
  public:
    // `formatRow` 0..12 (rows 0..4 force AAC); `presetLabel` is the displayed preset text,
    // parsed as at job start ("128kbit/s 44100Hz Stereo "). `report` and `control` must
    // outlive Run().
    ConversionJob(Settings settings, std::vector<ConvertItem> items, int formatRow,
                  const std::string& presetLabel, JobReport& report, JobControl& control);
    // The same with the preset already parsed.
    ConversionJob(Settings settings, std::vector<ConvertItem> items, int formatRow,
                  EncodeParameters preset, JobReport& report, JobControl& control);

    // The pause before the first step (500 ms by default; tests use 0).
    void SetStartDelay(std::chrono::milliseconds delay) { startDelay_ = delay; }
    // What plays at the end (PlayClosingSound by default); an empty function plays nothing.
    void SetClosingSound(std::function<void(bool done)> sound) { sound_ = std::move(sound); }

    // The worker: converts the batch and returns the number of finished files. Clears
    // control.busy at its end.
    int Run();

    const ConversionSummary& summary() const { return summary_; }
    const Settings& settings() const { return settings_; }  // convertExtension set
    const EncodeParameters& preset() const { return preset_; }

  private:
    struct FileProgress;
    void ConvertOne(size_t index);
    void OnPosition(FileProgress& file, int64_t ms);
    void AdvanceBars(FileProgress& file, int percent, double exactPercent);

    Settings settings_;
    std::vector<ConvertItem> items_;
    int formatRow_;
    EncodeParameters preset_;
    JobReport& report_;
    JobControl& control_;
    std::chrono::milliseconds startDelay_{500};
    std::function<void(bool)> sound_;
    ConversionSummary summary_;
    int itemBar_ = 0;
    int totalBar_ = 0;
};

}  // namespace quelt
