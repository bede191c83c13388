// Adds tags to a finished file by copying its packets into a new file of the same container
// with the extra tags (no audio is decoded or re-encoded). Used for values known only once
// the audio is encoded, such as ReplayGain.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/transcode/expected.h"
#include "core/transcode/loudness_meter.h"

namespace quelt {

// Whether the container that `path`'s name selects keeps tags of any name (FLAC, Ogg, Opus,
// MP3, WavPack, AIFF's ID3 chunk, WMA).
bool KeepsFreeTags(const std::string& path);

// Rewrites `path` with `tags` added to (or replacing) its tags. The new file is written
// beside it under a temporary name and renamed over it only when complete; on failure the
// file is left as it was, and the message is "Could not add tags to %s (reason)."
Expected<void> AddTagsToFile(const std::string& path,
                             const std::vector<std::pair<std::string, std::string>>& tags);

// ReplayGain 2 for a set of finished files that form an album (a rip, a conversion batch):
// each file whose container keeps free tags gets its track values and the album's. Files
// with an empty path or an invalid measurement are left out. Returns the lines of the files
// that could not be tagged.
std::vector<std::string> TagReplayGain(const std::vector<std::pair<std::string, Loudness>>& files);

}  // namespace quelt
