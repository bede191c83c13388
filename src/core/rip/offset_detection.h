// Finding a drive's read offset with a disc the AccurateRip database knows: one track is read
// once with 2940 samples to spare on either side, and the checksums of that track under each
// common drive offset are compared with the database's, as established rippers do. The first
// offset whose checksum the database holds is the drive's.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace quelt {

class CdGrabber;

struct OffsetDetection {
    bool found = false;
    int offset = 0;       // samples
    int trackNumber = 0;  // the track that matched
    int confidence = 0;
    std::string text;     // a sentence for the user, found or not
};

// Reads from the grabber's current drive (its disc refreshed). Blocks for about the time a
// track takes to read twice; `progress` gets 0..100. Leaves the grabber's read offset at 0.
OffsetDetection DetectReadOffset(CdGrabber& grabber, const std::string& server, const std::atomic<bool>& cancel,
                                 const std::function<void(int percent)>& progress = {},
                                 std::chrono::milliseconds deadline = std::chrono::milliseconds(15000));

// The offsets tried, the most common first.
const std::vector<int>& CommonReadOffsets();

}  // namespace quelt
