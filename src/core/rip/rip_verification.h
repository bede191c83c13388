// What a rip adds when the user asks for proof of it: the AccurateRip checksums and verdict
// of each track, and the rip log and cue sheet beside the files. The rip job calls the
// hooks in track order from its worker; with every option off they do nothing, so the rip
// runs and reports exactly as without them. The checksums are taken as the audio is read;
// the verdict is logged once the track's file is complete.
#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/naming/templates.h"
#include "core/rip/accuraterip.h"
#include "core/rip/disc_layout.h"
#include "core/settings/settings.h"

namespace quelt {

class JobReport;

struct RipVerificationOptions {
    bool accurateRip = false;
    std::string accurateRipServer;   // base address; "" for the public database
    bool writeLog = false;
    bool writeCue = false;
    int readOffset = 0;              // samples, as applied by the grabber (for the log)
    std::chrono::milliseconds deadline{15000};  // for the database exchange
};

// The drive and reading set-up as the log states them.
struct RipDriveDescription {
    std::string vendor, model, revision, id;
    std::string readMode;
};

// One track as the log and the cue sheet describe it.
struct VerifiedTrack {
    int layoutIndex = 0;
    std::string path;
    TrackTags tags;
    TrackChecksums sums;
    std::optional<AccurateRipVerdict> verdict;  // set when the database was consulted
    int unreadableSectors = 0;
    int retriedSectors = 0;
    bool ripped = false;
};

// The options the settings ask for, with the read offset in force for the drive.
RipVerificationOptions VerificationOptionsOf(const RipSettings& rip, int readOffset);

class RipVerification {
public:
    RipVerification(DiscLayout layout, RipVerificationOptions options, RipDriveDescription drive);

    bool active() const;
    // Looks the disc up in the database when AccurateRip is on; logs what came of it.
    void Start(JobReport& report, const std::atomic<bool>& cancel);
    // The track of `session` (0-based, like `track`) starts; its PCM follows through AddPcm.
    void BeginTrack(int session, int track);
    void AddPcm(const uint8_t* pcm, std::size_t bytes);
    // The current track's audio has all been read: its checksums, kept until its file is
    // complete (empty when the track is not verified).
    struct ReadTrack {
        int layoutIndex = 0;
        TrackChecksums sums;
    };
    std::optional<ReadTrack> EndReading();
    // The file of a track read earlier is complete: logs its checksums and verdict.
    void EndTrack(const ReadTrack& read, const std::string& path, const TrackTags& tags,
                  int unreadableSectors, int retriedSectors, bool ripped, JobReport& report);
    // Writes the log and the cue sheet (as asked) and logs the closing summary.
    void Finish(JobReport& report, bool cancelled);

    // A track was found in the database and did not match.
    bool anyMismatch() const { return mismatch_; }
    const std::vector<VerifiedTrack>& tracks() const { return tracks_; }
    const std::string& logPath() const { return logPath_; }
    const std::string& cuePath() const { return cuePath_; }

private:
    int AudioIndexOf(int layoutIndex) const;
    std::string Summary(bool cancelled) const;

    DiscLayout layout_;
    RipVerificationOptions options_;
    RipDriveDescription drive_;
    AccurateRipDiscId discId_;
    std::optional<std::vector<AccurateRipPressing>> pressings_;  // set when the disc was found
    std::string lookupText_;  // what the look-up came to, for the log
    bool lookedUp_ = false;   // the database answered (found or not)
    std::optional<TrackChecksummer> checksummer_;
    int currentIndex_ = -1;
    std::vector<VerifiedTrack> tracks_;
    bool mismatch_ = false;
    std::string logPath_, cuePath_;
};

}  // namespace quelt
