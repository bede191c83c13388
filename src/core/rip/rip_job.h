// The rip job: reads the checked tracks of a Disc through its CdGrabber, block by block,
// encodes them through the transcoding pipeline into files named by the rip template, and
// ends with the M3U playlist, the closing sound and the optional eject.
//
// Threads. Run() is the worker body; it reports through JobReport and polls
// JobControl::cancel once per read round. The Disc is not touched by anyone else while it
// runs (the page waits behind the modal progress window).
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "core/settings/settings.h"

namespace quelt {

class Disc;
class JobReport;
class Prompter;
struct JobControl;

// The starter's checks (StartRip steps 1 and 2): false, after telling the user, when no row
// is checked; otherwise refreshes the output folder and template index through the coded
// accessor so they hold usable values.
bool PrepareRip(const Disc& disc, Settings& settings, Prompter& prompter);

struct RipOutcome {
    int checkedCount = 0;
    int rippedCount = 0;
    int failedCount = 0;      // checked tracks that were started but not ripped, cancel aside
    bool cancelled = false;
    bool stoppedEarly = false;  // an output file could not be opened
    std::vector<std::string> outputPaths;
    std::string playlistPath;   // empty when none was written
};

struct RipJobParameters {
    Settings settings;          // a copy; ripExtension is set from formatRow
    int formatRow = 0;
    std::string presetLabel;    // as the preset list shows it
    int startDelayMs = 500;     // lets the progress window appear before the drive spins
    std::function<void(bool done)> closingSound;  // Done (true) or Fail (false); may be empty
    std::function<std::tm()> today;               // the local date; empty: the clock's
};

class RipJob {
public:
    RipJob(Disc& disc, RipJobParameters parameters, JobReport& report, JobControl& control);
    // Runs the whole job and clears control.busy as its last step.
    RipOutcome Run();

private:
    enum class TrackResult { kRipped, kCancelled, kFailed, kSkipped, kStopJob };
    TrackResult RipRow(int row, int rowCount);

    Disc& disc_;
    RipJobParameters params_;
    JobReport& report_;
    JobControl& control_;
    RipOutcome outcome_;
    int bitRate_ = 0, sampleRate_ = 44100, channels_ = 2;
    bool forceAac_ = false;
    int itemBar_ = 0, batchBar_ = 0;
    std::string cancelledPath_;
};

}  // namespace quelt
