// The MusicBrainz disc id of a disc's table of contents, through libdiscid.
#pragma once

#include <string>

#include "core/rip/disc_layout.h"

namespace quelt {

// The disc id of the audio tracks of the first session. When a data track follows them (an
// enhanced CD) the audio part ends where that track's session gap begins, as MusicBrainz
// counts it. "" when the layout holds no audio track or libdiscid refuses the values.
std::string MusicBrainzDiscId(const DiscLayout& layout);

}  // namespace quelt
