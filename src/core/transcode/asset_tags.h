// The 3GPP asset tags of a .3gp/.3g2 file (moov/udta boxes "titl", "perf", "albm", ...),
// which FFmpeg writes but does not read back.
#pragma once

#include <string>

#include "core/transcode/media_info.h"

namespace quelt {

// Fills the tag fields of `info` that are still empty from the file's 3GPP asset boxes.
// Returns false when the file has no moov/udta box to read (nothing is changed then).
bool ReadAssetTags(const std::string& path, MediaInfo& info);

}  // namespace quelt
