#include "core/transcode/album_tags.h"

extern "C" {
#include <libavutil/dict.h>
}

namespace quelt {
namespace {

enum class Family { kNone, kId3, kVorbis, kMp4, kAsf };

Family FamilyOf(std::string_view container) {
    if (container == "mp3" || container == "mp2" || container == "aiff") return Family::kId3;
    if (container == "flac" || container == "ogg" || container == "opus") return Family::kVorbis;
    if (container == "mp4" || container == "ipod" || container == "mov") return Family::kMp4;
    if (container == "asf") return Family::kAsf;
    return Family::kNone;
}

void Set(AVDictionary** dict, const char* key, const std::string& value) {
    if (!value.empty()) av_dict_set(dict, key, value.c_str(), 0);
}

std::string Number(int value) { return value > 0 ? std::to_string(value) : std::string(); }

// "n/total" as ID3, MP4 and ASF keep a number with its total.
std::string OfTotal(int number, int total) {
    if (number <= 0) return {};
    return total > 0 ? std::to_string(number) + "/" + std::to_string(total) : std::to_string(number);
}

struct IdNames {
    const char *release, *releaseGroup, *recording, *artist, *albumArtist, *disc;
};

// Picard's names, which players and library managers read.
constexpr IdNames kId3Ids{"MusicBrainz Album Id", "MusicBrainz Release Group Id", "MusicBrainz Track Id",
                          "MusicBrainz Artist Id", "MusicBrainz Album Artist Id", "MusicBrainz Disc Id"};
constexpr IdNames kVorbisIds{"MUSICBRAINZ_ALBUMID",  "MUSICBRAINZ_RELEASEGROUPID", "MUSICBRAINZ_TRACKID",
                             "MUSICBRAINZ_ARTISTID", "MUSICBRAINZ_ALBUMARTISTID",  "MUSICBRAINZ_DISCID"};
constexpr IdNames kAsfIds{"MusicBrainz/Album Id",  "MusicBrainz/Release Group Id", "MusicBrainz/Track Id",
                          "MusicBrainz/Artist Id", "MusicBrainz/Album Artist Id",  "MusicBrainz/Disc Id"};

void SetIds(AVDictionary** dict, const IdNames& names, const AlbumTags& album) {
    Set(dict, names.release, album.releaseId);
    Set(dict, names.releaseGroup, album.releaseGroupId);
    Set(dict, names.recording, album.recordingId);
    Set(dict, names.artist, album.artistId);
    Set(dict, names.albumArtist, album.albumArtistId);
    Set(dict, names.disc, album.discId);
}

}  // namespace

void CopyAlbumTags(AVDictionary** dict, std::string_view container, int track, const AlbumTags& album) {
    const Family family = FamilyOf(container);
    if (family == Family::kNone) return;
    // FFmpeg's generic keys: each muxer writes them under its own name (TPE2, ALBUMARTIST,
    // aART, WM/AlbumArtist; TDRC, DATE, (c)day, WM/Year).
    Set(dict, "album_artist", album.albumArtist);
    Set(dict, "date", album.date);
    switch (family) {
        case Family::kId3:
            Set(dict, "track", OfTotal(track, album.trackTotal));
            Set(dict, "disc", OfTotal(album.discNumber, album.discTotal));
            Set(dict, "TSRC", album.isrc);  // a frame name of its own: written as that frame
            Set(dict, "MCN", album.mcn);    // other names become TXXX frames
            SetIds(dict, kId3Ids, album);
            break;
        case Family::kVorbis:
            Set(dict, "TRACKTOTAL", Number(album.trackTotal));
            Set(dict, "disc", Number(album.discNumber));
            Set(dict, "DISCTOTAL", Number(album.discTotal));
            Set(dict, "ISRC", album.isrc);
            Set(dict, "MCN", album.mcn);
            SetIds(dict, kVorbisIds, album);
            break;
        case Family::kMp4:
            // trkn and disk hold a number and its total; FFmpeg's MP4 writer has no free-form
            // atoms, so the ids are not written here.
            Set(dict, "track", OfTotal(track, album.trackTotal));
            Set(dict, "disc", OfTotal(album.discNumber, album.discTotal));
            break;
        case Family::kAsf:
            Set(dict, "WM/PartOfSet", OfTotal(album.discNumber, album.discTotal));
            Set(dict, "WM/ISRC", album.isrc);
            Set(dict, "MCN", album.mcn);
            SetIds(dict, kAsfIds, album);
            break;
        case Family::kNone: break;
    }
}

}  // namespace quelt
