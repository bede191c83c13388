// The album tags a music library expects beside the basic ones (album artist, totals, disc
// number, release date, MusicBrainz ids, ISRC, media catalogue number), written under each
// container's usual names: ID3v2 frames, Vorbis comments, MP4 atoms or ASF attributes.
#pragma once

#include <string>
#include <string_view>

struct AVDictionary;

namespace quelt {

struct AlbumTags {
    std::string albumArtist;
    int trackTotal = 0;
    int discNumber = 0, discTotal = 0;
    std::string date;  // the release date ("2001", "2001-05" or "2001-05-14"); "" keeps the year
    std::string releaseId, releaseGroupId, recordingId, artistId, albumArtistId, discId;
    std::string isrc, mcn;
};

// Adds `album` to the tags of a `container` (FFmpeg's muxer name) whose track number is
// `track`; replaces the plain "track" and "date" entries where the album says more.
// Containers without such fields (WAV, raw AAC/AC3) get nothing.
void CopyAlbumTags(AVDictionary** dict, std::string_view container, int track, const AlbumTags& album);

}  // namespace quelt
