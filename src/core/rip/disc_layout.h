// The layout of the disc in a drive as plain values: its tracks with their sessions and
// types, the lead-out and the disc's CD-Text. Sectors are LSNs (0 = the first sector after
// the 2-second lead-in); FreeDB wants LBAs, which are LSN + 150.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/rip/freedb_info.h"

typedef struct _CdIo CdIo_t;

namespace quelt {

inline constexpr int32_t kLeadInSectors = 150;

struct DiscTrack {
    int number = 0;           // the track number on the disc (usually 1..99)
    int session = 0;          // 0-based
    bool audio = true;
    int32_t firstSector = 0;  // LSN
    int32_t sectors = 0;      // readable length of the track
    int32_t pregapSector = -1;  // LSN of INDEX 00 when the drive or image reports it, else -1
    std::string cdTextTitle, cdTextArtist;
    std::string isrc;         // the track's ISRC from the subchannel or the cue sheet; "" when none
};

struct DiscLayout {
    std::vector<DiscTrack> tracks;  // every track of every session, in disc order
    int32_t leadOut = 0;            // LSN of the lead-out
    int sessionCount = 0;
    std::string cdTextAlbum, cdTextArtist, cdTextGenre;
    std::string mcn;                // the media catalogue number (UPC/EAN); "" when none

    bool HasCdText() const;
    DiscToc Toc() const;
    // Index into `tracks` of the `track`-th track (0-based) of `session`; -1 when none.
    int IndexOf(int session, int track) const;
    int TracksInSession(int session) const;
};

// Reads the layout through an open libcdio handle. An empty layout (no tracks) means the
// drive holds no readable disc.
DiscLayout ReadDiscLayout(CdIo_t* cdio);

}  // namespace quelt
