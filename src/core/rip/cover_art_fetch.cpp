// Fetching the front cover from the Cover Art Archive.
#include <chrono>

#include "core/jobs/job_report.h"
#include "core/net/http_get.h"
#include "core/rip/album_metadata.h"
#include "core/rip/cover_art.h"
#include "core/rip/musicbrainz.h"
#include "core/settings/settings.h"

namespace quelt {
namespace {

constexpr const char* kPublicArchive = "https://coverartarchive.org";
constexpr std::size_t kMaxCoverBytes = 16u << 20;  // a front cover is well below this

bool IsJpeg(const std::string& image) {
    return image.size() > 3 && static_cast<unsigned char>(image[0]) == 0xFF &&
           static_cast<unsigned char>(image[1]) == 0xD8 && static_cast<unsigned char>(image[2]) == 0xFF;
}

}  // namespace

CoverArtAnswer FetchCoverArt(const std::string& server, const std::string& releaseId, int timeOutMs,
                             const std::string& proxy, const std::atomic<bool>* cancel) {
    CoverArtAnswer answer;
    std::string base = server.empty() ? kPublicArchive : server;
    while (!base.empty() && base.back() == '/') base.pop_back();
    HttpRequest request;
    request.url = base + "/release/" + releaseId + "/front";
    if (timeOutMs > 0) request.deadline = std::chrono::milliseconds(timeOutMs);
    request.maxBytes = kMaxCoverBytes;
    request.cancel = cancel;
    request.proxy = proxy;
    const HttpReply reply = HttpGet(request);
    if (reply.outcome == HttpOutcome::HttpError && reply.status == 404) {
        answer.message = "No cover art for release " + releaseId + ".";
    } else if (!reply.ok()) {
        answer.message = "No cover art for release " + releaseId + ": " + reply.error;
    } else if (!IsJpeg(reply.body)) {
        answer.message = "No cover art for release " + releaseId + ": the archive sent no JPEG image.";
    } else {
        answer.image = reply.body;
        answer.message = "Cover art of release " + releaseId + " fetched (" + std::to_string(reply.body.size()) +
                         " bytes).";
    }
    return answer;
}

std::string FetchAlbumCover(const AlbumMetadata& album, const RipSettings& rip, JobReport& report,
                            const std::atomic<bool>* cancel) {
    if (album.source != NamesSource::kMusicBrainz || album.releaseId.empty()) {
        report.Log("No cover art: the album was not named by a MusicBrainz release.");
        return {};
    }
    const MusicBrainzServer server = MusicBrainzServerFor(rip);
    CoverArtAnswer cover = FetchCoverArt(rip.coverArtServer, album.releaseId, server.timeOutMs, server.proxy, cancel);
    report.Log(cover.message);
    return std::move(cover.image);
}

}  // namespace quelt
