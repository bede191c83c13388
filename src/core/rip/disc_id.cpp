#include "core/rip/disc_id.h"

#include <discid/discid.h>

#include <memory>

namespace quelt {
namespace {

// Between the end of the audio session and the first data track of an enhanced CD lie the
// session's lead-out, the next lead-in and its pregap.
constexpr int32_t kSessionGapSectors = 11400;

}  // namespace

std::string MusicBrainzDiscId(const DiscLayout& layout) {
    int offsets[100] = {};  // [0] the lead-out, [n] track n, all as LBAs
    int first = 0, last = 0;
    int32_t leadOut = layout.leadOut + kLeadInSectors;
    for (const DiscTrack& track : layout.tracks) {
        if (track.session != 0 || !track.audio) {
            if (last == 0) continue;  // a data track before the music (mixed mode)
            // A data track after the music (enhanced CD): the audio part ends before its gap.
            leadOut = track.firstSector + kLeadInSectors - kSessionGapSectors;
            break;
        }
        if (track.number < 1 || track.number > 99 || (last > 0 && track.number != last + 1)) return {};
        if (first == 0) first = track.number;
        last = track.number;
        offsets[track.number] = track.firstSector + kLeadInSectors;
    }
    if (last == 0) return {};
    offsets[0] = leadOut;
    std::unique_ptr<DiscId, decltype(&discid_free)> disc(discid_new(), &discid_free);
    if (!disc || !discid_put(disc.get(), first, last, offsets)) return {};
    const char* id = discid_get_id(disc.get());
    return id ? std::string(id) : std::string();
}

}  // namespace quelt
