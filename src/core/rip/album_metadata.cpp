#include "core/rip/album_metadata.h"

#include "core/rip/disc_id.h"

namespace quelt {

AlbumMetadata DiscOwnMetadata(const DiscLayout& layout) {
    AlbumMetadata album;
    album.mcn = layout.mcn;
    album.discId = MusicBrainzDiscId(layout);
    for (const DiscTrack& track : layout.tracks) {
        if (!track.audio) continue;
        AlbumTrack named;
        named.isrc = track.isrc;
        named.title = track.cdTextTitle;
        named.artist = track.cdTextArtist.empty() ? layout.cdTextArtist : track.cdTextArtist;
        album.tracks.push_back(std::move(named));
    }
    if (layout.HasCdText()) {
        album.source = NamesSource::kCdText;
        album.album = layout.cdTextAlbum;
        album.albumArtist = layout.cdTextArtist;
        album.genre = layout.cdTextGenre;
    } else {
        for (AlbumTrack& track : album.tracks) track.title.clear(), track.artist.clear();
    }
    return album;
}

AlbumTags AlbumTagsFor(const AlbumMetadata& album, int row, int rowCount, const std::string& year) {
    AlbumTags tags;
    tags.albumArtist = album.albumArtist;
    tags.trackTotal = rowCount;
    tags.discNumber = album.discNumber;
    tags.discTotal = album.discTotal;
    if (album.date.size() >= 4 && album.date.compare(0, 4, year) == 0) tags.date = album.date;
    tags.releaseId = album.releaseId;
    tags.releaseGroupId = album.releaseGroupId;
    tags.albumArtistId = album.albumArtistId;
    tags.discId = album.discId;
    tags.mcn = album.mcn;
    if (row >= 0 && row < static_cast<int>(album.tracks.size())) {
        const AlbumTrack& track = album.tracks[static_cast<std::size_t>(row)];
        tags.recordingId = track.recordingId;
        tags.artistId = track.artistId;
        tags.isrc = track.isrc;
    }
    return tags;
}

const char* NamesSourceName(NamesSource source) {
    switch (source) {
        case NamesSource::kCdText: return "CD-Text";
        case NamesSource::kMusicBrainz: return "MusicBrainz";
        case NamesSource::kNone: break;
    }
    return "";
}

}  // namespace quelt
