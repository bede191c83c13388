// What the ripper knows of an album beyond FreeDB's fields: names from the disc's CD-Text or
// a MusicBrainz release, with the disc's own codes (MCN, ISRCs) and its MusicBrainz disc id.
#pragma once

#include <string>
#include <vector>

#include "core/rip/disc_layout.h"
#include "core/transcode/album_tags.h"

namespace quelt {

enum class NamesSource { kNone, kCdText, kMusicBrainz };

struct AlbumTrack {  // one audio track, in row order
    std::string title, artist;
    std::string recordingId, artistId;  // MusicBrainz
    std::string isrc;                   // from the disc
};

struct AlbumMetadata {
    NamesSource source = NamesSource::kNone;  // where the names below came from
    std::string album, albumArtist, genre;
    std::string date;  // "2001", "2001-05" or "2001-05-14"; "" unknown
    std::string releaseId, releaseGroupId, albumArtistId, discId;
    std::string mcn;
    int discNumber = 0, discTotal = 0;
    std::vector<AlbumTrack> tracks;

    bool HasNames() const { return source != NamesSource::kNone; }
};

// The disc's own metadata: its audio tracks with their ISRCs, the MCN, the MusicBrainz disc
// id, and the CD-Text names when the disc carries any (source kCdText), else no names.
AlbumMetadata DiscOwnMetadata(const DiscLayout& layout);

// The album tags of row `row` of `rowCount` ripped rows. The release date is used only when
// its year is still the row's `year` (an edited year wins).
AlbumTags AlbumTagsFor(const AlbumMetadata& album, int row, int rowCount, const std::string& year);

// "CD-Text", "MusicBrainz" or "".
const char* NamesSourceName(NamesSource source);

}  // namespace quelt
