// What a disc can take, checked before the burn job spends time decoding: at most 99
// tracks on an Audio CD, no more sectors than the medium offers, and no two files of one
// name at the root of a data CD.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quelt {

inline constexpr int kMaxAudioCdTracks = 99;

struct CompilationEstimate {
    bool dataCd = false;
    std::vector<std::string> discNames;  // each file's name on the disc, in order
    std::vector<int64_t> durationsMs;    // each source's length; 0 when unknown
    int64_t capacitySectors = -1;        // what the medium offers; -1 when unknown
};

// Sectors one source fills once decoded to CD audio (44100 Hz, 16-bit stereo): as audio
// frames on an Audio CD, or as a WAV file's 2048-byte data sectors on a data CD.
int64_t EstimatedSectors(bool dataCd, int64_t durationMs);

// The text of the first limit the compilation breaks (a whole log line that names it), or
// "" when it fits.
std::string BrokenCompilationLimit(const CompilationEstimate& estimate);

}  // namespace quelt
