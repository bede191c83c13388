#include "core/rip/musicbrainz.h"

#include <musicbrainz5/ArtistCredit.h>
#include <musicbrainz5/Artist.h>
#include <musicbrainz5/Disc.h>
#include <musicbrainz5/HTTPFetch.h>
#include <musicbrainz5/Label.h>
#include <musicbrainz5/LabelInfo.h>
#include <musicbrainz5/LabelInfoList.h>
#include <musicbrainz5/Medium.h>
#include <musicbrainz5/MediumList.h>
#include <musicbrainz5/Metadata.h>
#include <musicbrainz5/NameCredit.h>
#include <musicbrainz5/NameCreditList.h>
#include <musicbrainz5/Query.h>
#include <musicbrainz5/Recording.h>
#include <musicbrainz5/Release.h>
#include <musicbrainz5/ReleaseGroup.h>
#include <musicbrainz5/ReleaseList.h>
#include <musicbrainz5/Track.h>
#include <musicbrainz5/TrackList.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/naming/untrusted_text.h"
#include "core/settings/settings.h"

namespace quelt {
namespace {

namespace mb = MusicBrainz5;

constexpr const char* kUserAgent = "QueltCDRipperPro/1.0";
constexpr int kDefaultTimeOutMs = 10000;
constexpr int kMaxStragglers = 4;  // exchanges given up on that still wait for their server

std::atomic<int> gExchangesRunning{0};

std::string Clean(const std::string& text) { return CleanUntrustedText(text); }

// "A feat. B" from the name credits; `ids` receives the artists' ids joined by "; ".
std::string Credit(const mb::CArtistCredit* credit, std::string* ids = nullptr) {
    if (!credit || !credit->NameCreditList()) return {};
    const mb::CNameCreditList* list = credit->NameCreditList();
    std::string text;
    for (int i = 0; i < list->NumItems(); ++i) {
        const mb::CNameCredit* name = list->Item(i);
        if (!name) continue;
        std::string shown = name->Name();
        if (shown.empty() && name->Artist()) shown = name->Artist()->Name();
        text += shown + name->JoinPhrase();
        if (ids && name->Artist() && !name->Artist()->ID().empty())
            *ids += (ids->empty() ? "" : "; ") + Clean(name->Artist()->ID());
    }
    return Clean(text);
}

// The medium of `release` that holds the disc; the first one when none says so.
const mb::CMedium* MediumOf(const mb::CRelease& release, const std::string& discId) {
    const mb::CMediumList* media = release.MediumList();
    if (!media || media->NumItems() == 0) return nullptr;
    for (int i = 0; i < media->NumItems(); ++i)
        if (media->Item(i) && media->Item(i)->ContainsDiscID(discId)) return media->Item(i);
    return media->Item(0);
}

MusicBrainzRelease ReleaseOf(const mb::CRelease& release, const std::string& discId) {
    MusicBrainzRelease out;
    out.id = Clean(release.ID());
    out.title = Clean(release.Title());
    out.date = Clean(release.Date());
    out.country = Clean(release.Country());
    out.barcode = Clean(release.Barcode());
    out.artist = Credit(release.ArtistCredit(), &out.artistId);
    if (release.ReleaseGroup()) out.releaseGroupId = Clean(release.ReleaseGroup()->ID());
    if (const mb::CLabelInfoList* labels = release.LabelInfoList(); labels && labels->NumItems() > 0) {
        const mb::CLabelInfo* info = labels->Item(0);
        if (info && info->Label()) out.label = Clean(info->Label()->Name());
        if (info) out.catalogNumber = Clean(info->CatalogNumber());
    }
    const mb::CMedium* medium = MediumOf(release, discId);
    if (!medium) return out;
    out.discTotal = release.MediumList()->NumItems();
    out.discNumber = medium->Position() > 0 ? medium->Position() : 1;
    out.format = Clean(medium->Format());
    const mb::CTrackList* tracks = medium->TrackList();
    for (int i = 0; tracks && i < tracks->NumItems(); ++i) {
        const mb::CTrack* track = tracks->Item(i);
        if (!track) continue;
        AlbumTrack named;
        const mb::CRecording* recording = track->Recording();
        named.title = Clean(track->Title());
        if (named.title.empty() && recording) named.title = Clean(recording->Title());
        named.artist = Credit(track->ArtistCredit(), &named.artistId);
        if (named.artist.empty() && recording) named.artist = Credit(recording->ArtistCredit(), &named.artistId);
        if (named.artist.empty()) {
            named.artist = out.artist;
            named.artistId = out.artistId;
        }
        if (recording) named.recordingId = Clean(recording->ID());
        out.tracks.push_back(std::move(named));
    }
    return out;
}

std::string ServerName(const MusicBrainzServer& server) {
    return server.host + ":" + std::to_string(server.port);
}

// The exchange itself, on the look-up thread.
MusicBrainzAnswer Exchange(const MusicBrainzServer& server, const std::string& discId) {
    MusicBrainzAnswer answer;
    try {
        mb::CQuery query(kUserAgent, server.host, server.port);
        if (const auto colon = server.proxy.rfind(':'); !server.proxy.empty()) {
            query.SetProxyHost(server.proxy.substr(0, colon));
            query.SetProxyPort(colon == std::string::npos ? 80 : std::atoi(server.proxy.c_str() + colon + 1));
        }
        mb::CQuery::tParamMap parameters;
        parameters["inc"] = "artist-credits labels recordings release-groups";
        const mb::CMetadata metadata = query.Query("discid", discId, "", parameters);
        if (metadata.Disc() && metadata.Disc()->ReleaseList()) {
            const mb::CReleaseList* releases = metadata.Disc()->ReleaseList();
            for (int i = 0; i < releases->NumItems(); ++i)
                if (releases->Item(i)) answer.releases.push_back(ReleaseOf(*releases->Item(i), discId));
        }
    } catch (const mb::CResourceNotFoundError&) {
    } catch (const mb::CExceptionBase& error) {
        answer.message = "MusicBrainz look-up failed on " + ServerName(server) + ": " + error.what();
        return answer;
    } catch (const std::exception& error) {
        answer.message = "MusicBrainz look-up failed on " + ServerName(server) + ": " + error.what();
        return answer;
    }
    if (answer.releases.empty()) {
        answer.outcome = LookupOutcome::kNotFound;
        answer.message = "No MusicBrainz release found for disc id " + discId;
    } else {
        answer.outcome = LookupOutcome::kFound;
        answer.message = "MusicBrainz: " + std::to_string(answer.releases.size()) +
                         " release(s) found for disc id " + discId;
    }
    return answer;
}

struct SharedExchange {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    MusicBrainzAnswer answer;
};

}  // namespace

bool ParseMusicBrainzServer(const std::string& text, MusicBrainzServer& server) {
    const auto colon = text.rfind(':');
    std::string host = text.substr(0, colon);
    int port = 80;
    if (colon != std::string::npos) {
        const std::string digits = text.substr(colon + 1);
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        port = std::stoi(digits);
    }
    if (host.empty() || host.find_first_of(" /?#@") != std::string::npos || port < 1 || port > 65535)
        return false;
    server.host = host;
    server.port = port;
    return true;
}

MusicBrainzServer MusicBrainzServerFor(const RipSettings& settings) {
    MusicBrainzServer server;
    // A stored server that cannot be read is asked as it is, so the failure names it.
    if (!settings.musicBrainzServer.empty() && !ParseMusicBrainzServer(settings.musicBrainzServer, server))
        server.host = settings.musicBrainzServer;
    if (settings.musicBrainzTimeOut > 0) server.timeOutMs = settings.musicBrainzTimeOut;
    if (settings.useFreedbProxy && !settings.freedbProxy.empty()) server.proxy = settings.freedbProxy;
    return server;
}

MusicBrainzAnswer LookupMusicBrainz(const MusicBrainzServer& server, const std::string& discId,
                                    const std::atomic<bool>* cancel) {
    MusicBrainzAnswer answer;
    if (discId.empty()) {
        answer.outcome = LookupOutcome::kNotFound;
        answer.message = "The disc has no audio track to look up in MusicBrainz.";
        return answer;
    }
    if (gExchangesRunning.load() >= kMaxStragglers) {
        answer.message = "MusicBrainz look-up failed: earlier look-ups still wait for " + ServerName(server) + ".";
        return answer;
    }
    auto shared = std::make_shared<SharedExchange>();
    ++gExchangesRunning;
    try {
        std::thread([shared, server, discId] {
            MusicBrainzAnswer result = Exchange(server, discId);
            {
                std::lock_guard lock(shared->mutex);
                shared->answer = std::move(result);
                shared->done = true;
            }
            shared->finished.notify_all();
            --gExchangesRunning;
        }).detach();
    } catch (const std::system_error&) {
        --gExchangesRunning;
        answer.message = "MusicBrainz look-up failed: no thread could be started for it.";
        return answer;
    }

    const int timeOutMs = server.timeOutMs > 0 ? server.timeOutMs : kDefaultTimeOutMs;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeOutMs);
    std::unique_lock lock(shared->mutex);
    while (!shared->done) {
        if (cancel && cancel->load()) {
            answer.outcome = LookupOutcome::kCancelled;
            answer.message = "MusicBrainz look-up cancelled.";
            return answer;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            answer.outcome = LookupOutcome::kTimedOut;
            char seconds[32];
            std::snprintf(seconds, sizeof seconds, "%.1f", timeOutMs / 1000.0);
            answer.message = "MusicBrainz did not answer within " + std::string(seconds) + " s (" +
                             ServerName(server) + ").";
            return answer;
        }
        shared->finished.wait_for(lock, std::min<std::chrono::steady_clock::duration>(
                                            deadline - now, std::chrono::milliseconds(100)));
    }
    return shared->answer;
}

std::string ReleaseSummary(const MusicBrainzRelease& release) {
    std::string text = release.artist + " - " + release.title;
    std::string details;
    for (const std::string* part : {&release.date, &release.country, &release.label, &release.format})
        if (!part->empty()) details += (details.empty() ? "" : ", ") + *part;
    details += (details.empty() ? "" : ", ") + std::to_string(release.tracks.size()) + " tracks";
    if (release.discTotal > 1)
        details += ", disc " + std::to_string(release.discNumber) + "/" + std::to_string(release.discTotal);
    return text + " (" + details + ")";
}

AlbumMetadata AlbumFromRelease(const MusicBrainzRelease& release, const AlbumMetadata& discOwn) {
    AlbumMetadata album;
    album.source = NamesSource::kMusicBrainz;
    album.album = release.title;
    album.albumArtist = release.artist;
    album.albumArtistId = release.artistId;
    album.date = release.date;
    album.releaseId = release.id;
    album.releaseGroupId = release.releaseGroupId;
    album.discId = discOwn.discId;
    album.mcn = discOwn.mcn;
    album.discNumber = release.discNumber;
    album.discTotal = release.discTotal;
    album.tracks = release.tracks;
    // The disc's own ISRCs stay with their tracks; a disc longer than the release keeps its
    // extra tracks unnamed.
    if (album.tracks.size() < discOwn.tracks.size()) album.tracks.resize(discOwn.tracks.size());
    for (std::size_t i = 0; i < discOwn.tracks.size(); ++i) album.tracks[i].isrc = discOwn.tracks[i].isrc;
    return album;
}

}  // namespace quelt
