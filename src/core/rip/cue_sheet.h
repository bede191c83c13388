// The cue sheet of a rip: one FILE per ripped track (named relative to the sheet's folder,
// typed WAVE whatever the format, as players and burners expect of per-track files), the
// disc's and tracks' texts, the catalogue number and ISRCs when the disc has them, and each
// pregap as an INDEX 00 at the end of the previous track's file, where the pregap's audio is.
#pragma once

#include <string>
#include <vector>

#include "core/rip/disc_layout.h"

namespace quelt {

struct VerifiedTrack;

std::string CueSheetText(const DiscLayout& layout, const std::vector<VerifiedTrack>& tracks,
                         const std::string& cueFolder);

// "mm:ss:ff" of a sector count (75 frames a second).
std::string CueTime(int32_t sectors);

}  // namespace quelt
