// The rip job: reads the checked tracks of a Disc through its CdGrabber, block by block,
// encodes them through the transcoding pipeline into files named by the rip template, and
// ends with the M3U playlist, the closing sound and the optional eject.
//
// Threads. Run() is the worker body and the one reader of the drive; it reports through
// JobReport and polls JobControl::cancel once per read round. Each track is encoded on a
// thread of its own (TrackEncoder), so the next track is read while the previous one is
// still being encoded; the log keeps the order of a one-track-at-a-time rip because the
// lines of a track wait until every earlier track's outcome is known. The Disc is not
// touched by anyone else while it runs (the page waits behind the modal progress window).
#pragma once

#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/jobs/item_result.h"
#include "core/rip/rip_verification.h"
#include "core/settings/settings.h"
#include "core/transcode/loudness_meter.h"

namespace quelt {

class Disc;
class JobReport;
class Prompter;
struct JobControl;

// The checks before a rip starts: false, after telling the user, when no row
// is checked; otherwise gives an empty output folder its default and fixes up an
// out-of-range template index, so both hold usable values.
bool PrepareRip(const Disc& disc, Settings& settings, Prompter& prompter);

struct RipOutcome {
    int checkedCount = 0;
    int rippedCount = 0;
    int failedCount = 0;      // checked tracks that were started but not ripped, cancel aside
    bool cancelled = false;
    bool stoppedEarly = false;  // an output file could not be opened
    // One per checked track, named by its number ("03"): done once counted as ripped,
    // failed with the line the log shows, cancelled when a cancel or a stop left it.
    std::vector<ItemResult> items;
    std::vector<std::string> outputPaths;
    std::string playlistPath;   // empty when none was written
    bool accurateRipMismatch = false;  // a track found in the database did not match
    std::string logPath, cuePath;      // empty when none was written
};

struct RipJobParameters {
    Settings settings;          // a copy; ripExtension is set from formatRow
    int formatRow = 0;
    std::string presetLabel;    // as the preset list shows it
    int startDelayMs = 500;     // lets the progress window appear before the drive spins
    std::function<void(bool done)> closingSound;  // Done (true) or Fail (false); may be empty
    std::function<std::tm()> today;               // the local date; empty: the clock's
    int encoders = 0;  // tracks encoded at once (the one being read included); 0: the cores but one
    // AccurateRip, the rip log and the cue sheet; all off by default.
    RipVerificationOptions verification;
    // The JPEG front cover, saved as cover.jpg beside the tracks and embedded where the
    // container takes it. Empty with "CoverArt" on: the job fetches the cover of the
    // MusicBrainz release that named the disc.
    std::string coverImage;
};

class RipJob {
public:
  RipJob(Disc& disc, RipJobParameters parameters);
  // Runs the whole job and clears control.busy as its last step.
  RipOutcome Run(JobReport& report, JobControl& control);

private:
    struct Track;
    // Reads row `row` and hands it to an encoder; false when the job must stop (the output
    // file could not be opened).
    bool RipRow(int row, int rowCount);
    // What is logged and counted once `track`'s encoder has ended.
    void Conclude(Track& track);
    // Records what became of row `row`, in track order (after the earlier tracks' conclusions).
    void RecordLater(int row, ItemState state, std::string reason = "");
    void UpdateBars(int64_t position, int64_t length);

    // Report calls of a track run in track order: `action` runs at once when no earlier
    // track is still being encoded, else after the earlier tracks' conclusions.
    void Later(std::function<void()> action);
    void LogLater(std::string line);
    // Runs the queued actions; waits for encoders while more than `maxUnconcluded` tracks
    // have not been concluded.
    void Settle(int maxUnconcluded);
    void StartVerification();
    void FinishVerification();

    Disc& disc_;
    RipJobParameters params_;
    JobReport* report_ = nullptr;    // during Run()
    JobControl* control_ = nullptr;  // during Run()
    RipOutcome outcome_;
    std::vector<int> itemOfRow_;  // each row's index in outcome_.items; -1 when unchecked
    int bitRate_ = 0, sampleRate_ = 44100, channels_ = 2;
    bool sameAsSource_ = false;
    int itemBar_ = 0, batchBar_ = 0;
    int encoders_ = 1;
    struct Step {
        std::function<void()> action;
        std::shared_ptr<Track> conclude;  // set: waits for this track's encoder, then concludes
    };
    std::deque<Step> steps_;
    std::vector<std::pair<std::string, Loudness>> measured_;  // ripped tracks, with ReplayGain
    int unconcluded_ = 0;
    std::unique_ptr<RipVerification> verification_;
    std::vector<std::string> coverFolders_;  // folders that got cover.jpg in this rip
};

}  // namespace quelt
