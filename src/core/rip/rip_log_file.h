// The rip log written beside the files: what was read with what, the table of contents,
// each track's file, checksums, verdict and read trouble, and a closing summary.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "core/rip/accuraterip.h"
#include "core/rip/disc_layout.h"

namespace quelt {

struct RipDriveDescription;
struct VerifiedTrack;

struct RipLogContent {
    const DiscLayout& layout;
    const RipDriveDescription& drive;
    int readOffset = 0;
    bool accurateRip = false;
    AccurateRipDiscId discId;
    std::string lookup;  // what the database look-up came to
    const std::vector<VerifiedTrack>& tracks;
    std::string summary;
    std::time_t when = std::time(nullptr);
};

std::string RipLogText(const RipLogContent& content);

}  // namespace quelt
