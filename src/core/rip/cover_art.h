// The album's front cover: fetched from the Cover Art Archive for a MusicBrainz release and
// saved as cover.jpg in the album's folder. A cover that cannot be had is a log line, never
// an error of the rip.
#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace quelt {

class JobReport;
struct AlbumMetadata;
struct RipSettings;

struct CoverArtAnswer {
    std::string image;    // JPEG bytes; "" when there is none
    std::string message;  // a line for the log
};

// GETs "<server>/release/<releaseId>/front" (server "" is the public archive) with the
// time-out for the whole exchange, the proxy ("host:port" or "") and the cancel flag.
CoverArtAnswer FetchCoverArt(const std::string& server, const std::string& releaseId, int timeOutMs,
                             const std::string& proxy, const std::atomic<bool>* cancel);

// The front cover for a rip of `album` with the settings' server, time-out and proxy: ""
// with a log line when the album was not named by a MusicBrainz release or has no cover.
std::string FetchAlbumCover(const AlbumMetadata& album, const RipSettings& rip, JobReport& report,
                            const std::atomic<bool>* cancel);

// Writes `image` as cover.jpg into `folder` the first time a rip names that folder (listed
// in `done`); an existing cover.jpg is kept. Logs what happened.
void SaveCoverOnce(const std::string& folder, const std::string& image, std::vector<std::string>& done,
                   JobReport& report);

}  // namespace quelt
