#include "core/rip/offset_detection.h"

#include <algorithm>
#include <vector>

#include "core/jobs/component_error.h"
#include "core/rip/accuraterip.h"
#include "core/rip/accuraterip_lookup.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/disc_layout.h"

namespace quelt {
namespace {

constexpr std::size_t kFrameBytes = 4;

// The whole track read with `offset`, or nothing when cancelled.
std::vector<uint8_t> ReadTrack(CdGrabber& grabber, int offset, const std::atomic<bool>& cancel,
                               const std::function<void(int)>& progress, int progressBase) {
    grabber.SetReadOffset(offset);
    grabber.ReadSwitchA(0);
    grabber.ReadSwitchB(0);
    grabber.ReadSwitchC(0);
    grabber.OpenTrack();
    const int64_t length = grabber.TrackSizeA();
    std::vector<uint8_t> all, pcm;
    all.reserve(static_cast<std::size_t>(length) * kSectorBytes);
    int64_t done = 0;
    while (!cancel.load()) {
        const int32_t n = grabber.ReadBlocks(50, pcm);
        if (n <= 0) break;
        all.insert(all.end(), pcm.begin(), pcm.end());
        done += n;
        if (progress && length > 0) progress(progressBase + static_cast<int>(done * 50 / length));
    }
    grabber.CloseTrack();
    if (cancel.load()) all.clear();
    return all;
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

const std::vector<int>& CommonReadOffsets() {
    static const std::vector<int> offsets = {
        6,   667, 48,  102, 103, 0,   12,  30,  91,  97,   116,  120,  594,  618,   685,   686,  702,
        704, 733, 738, 1164, 1194, 1776, 2, 355, 564, 676, 1858, -472, -582, -1164, -1194, -2};
    return offsets;
}

OffsetDetection DetectReadOffset(CdGrabber& grabber, const std::string& server, const std::atomic<bool>& cancel,
                                 const std::function<void(int)>& progress, std::chrono::milliseconds deadline) {
    OffsetDetection detection;
    const DiscLayout layout = grabber.Layout();
    const AccurateRipDiscId id = AccurateRipIdOf(layout);
    if (id.audioTracks == 0) {
        detection.text = "There is no audio CD in the drive.";
        return detection;
    }
    const AccurateRipLookup lookup = LookUpAccurateRip(server, id, cancel, deadline);
    if (lookup.result == AccurateRipLookup::Result::kCancelled) return detection;
    if (lookup.result != AccurateRipLookup::Result::kFound) {
        detection.text = lookup.result == AccurateRipLookup::Result::kNotFound
                             ? "This disc is not in the AccurateRip database; try a disc it knows."
                             : lookup.text + ".";
        return detection;
    }

    // The audio track the database is surest of, long enough to be read with the margins.
    int bestAudio = -1, bestConfidence = 0, audio = 0, bestIndex = -1;
    for (int i = 0; i < static_cast<int>(layout.tracks.size()); ++i) {
        const DiscTrack& t = layout.tracks[i];
        if (!t.audio) continue;
        int confidence = 0;
        for (const auto& p : lookup.pressings)
            if (audio < static_cast<int>(p.confidence.size())) confidence += p.confidence[audio];
        if (confidence > bestConfidence && t.sectors > 2 * kMaxReadOffset / kSectorFrames + 10) {
            bestConfidence = confidence;
            bestAudio = audio;
            bestIndex = i;
        }
        ++audio;
    }
    if (bestIndex < 0) {
        detection.text = "The AccurateRip database has no checksums for this disc's tracks.";
        return detection;
    }
    const DiscTrack& track = layout.tracks[bestIndex];
    grabber.SelectSession(track.session);
    int inSession = 0;
    for (int i = 0; i < bestIndex; ++i) inSession += layout.tracks[i].session == track.session;
    grabber.SelectTrack(inSession);

    // Frames [start - 2940, end - 2940) and [start + 2940, end + 2940) give the track with
    // 2940 frames to spare on either side.
    try {
        std::vector<uint8_t> early = ReadTrack(grabber, -kMaxReadOffset, cancel, progress, 0);
        std::vector<uint8_t> late = ReadTrack(grabber, kMaxReadOffset, cancel, progress, 50);
        grabber.SetReadOffset(0);
        if (early.empty() || late.empty()) return detection;
        const std::size_t spare = 2 * kMaxReadOffset * kFrameBytes;
        early.insert(early.end(), late.end() - static_cast<std::ptrdiff_t>(spare), late.end());
        const int64_t frames = static_cast<int64_t>(track.sectors) * kSectorFrames;
        for (int offset : CommonReadOffsets()) {
            TrackChecksummer sums(frames, bestAudio == 0, bestAudio == id.audioTracks - 1);
            sums.Add(early.data() + static_cast<std::size_t>(offset + kMaxReadOffset) * kFrameBytes,
                     static_cast<std::size_t>(frames) * kFrameBytes);
            const AccurateRipVerdict verdict = VerdictOf(lookup.pressings, bestAudio, sums.Result());
            if (verdict.match == AccurateRipMatch::kAccurate) {
                detection.found = true;
                detection.offset = offset;
                detection.trackNumber = track.number;
                detection.confidence = verdict.confidence;
                detection.text = "Read offset: " + std::string(offset > 0 ? "+" : "") + std::to_string(offset) +
                                 " (track " + TwoDigits(track.number) + " matches the AccurateRip database " +
                                 "with confidence " + std::to_string(verdict.confidence) + ")";
                return detection;
            }
        }
    } catch (const ComponentError& error) {
        grabber.SetReadOffset(0);
        detection.text = std::string("The track could not be read: ") + error.what();
        return detection;
    }
    detection.text = "None of the common read offsets matches this disc in the AccurateRip database.";
    return detection;
}

}  // namespace quelt
