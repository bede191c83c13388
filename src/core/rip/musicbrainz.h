// MusicBrainz look-up of a disc by its disc id, through libmusicbrainz5: the releases that
// contain the disc, with their tracks, artist credits, release group, label, date, country,
// barcode and format.
//
// libmusicbrainz5 offers no time-out (its HTTP layer waits up to minutes on a silent server),
// so the exchange runs on a thread of its own and the caller waits at most the time-out,
// watching the cancel flag. An exchange given up on finishes in the background and its answer
// is dropped; a few such stragglers at most are allowed at once.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "core/rip/album_metadata.h"

namespace quelt {

struct RipSettings;

struct MusicBrainzRelease {
    std::string id, title, artist, artistId, date, country, label, catalogNumber, barcode, format;
    std::string releaseGroupId;
    int discNumber = 1, discTotal = 1;  // the medium holding the disc, of how many
    std::vector<AlbumTrack> tracks;     // that medium's tracks (title, artist, recording id)
};

enum class LookupOutcome { kFound, kNotFound, kTimedOut, kFailed, kCancelled };

struct MusicBrainzAnswer {
    LookupOutcome outcome = LookupOutcome::kFailed;
    std::vector<MusicBrainzRelease> releases;  // kFound: one or more
    std::string message;                       // a line for the user in every case
};

struct MusicBrainzServer {
    std::string host = "musicbrainz.org";
    int port = 80;
    std::string proxy;     // "host:port"; "" none
    int timeOutMs = 10000;
};

// The server of the settings or of --musicbrainz-server: "HOST" or "HOST:PORT". False for an
// empty host or a port outside 1..65535.
bool ParseMusicBrainzServer(const std::string& text, MusicBrainzServer& server);

// The server, proxy and time-out of the settings: "MusicBrainzServer" ("" the public server),
// "MusicBrainzTimeOut", and the FreeDB page's proxy when it is in use.
MusicBrainzServer MusicBrainzServerFor(const RipSettings& settings);

// Looks `discId` up; blocks up to about server.timeOutMs. `cancel` may be null.
MusicBrainzAnswer LookupMusicBrainz(const MusicBrainzServer& server, const std::string& discId,
                                    const std::atomic<bool>* cancel = nullptr);

// One line for a picker or a listing: artist, title, date, country, label, format, tracks.
std::string ReleaseSummary(const MusicBrainzRelease& release);

// The album of a picked release on this disc: its names and ids over the disc's own codes.
AlbumMetadata AlbumFromRelease(const MusicBrainzRelease& release, const AlbumMetadata& discOwn);

}  // namespace quelt
