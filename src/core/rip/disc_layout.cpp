#include "core/rip/disc_layout.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>

#include "core/naming/untrusted_text.h"

namespace quelt {
namespace {

// A CD-Extra's second session starts 11400 sectors (lead-out, lead-in and pregap of the
// new session) after the end of the last audio track of the first.
constexpr int32_t kSessionGapSectors = 11400;

std::string CdText(const cdtext_t* text, cdtext_field_t field, track_t track) {
    if (!text) return {};
    const char* value = cdtext_get_const(text, field, track);
    return CleanUntrustedText(value ? value : "");
}

// libcdio's MCN and ISRC answers: malloc'd texts, absent or all zeros when the disc has none.
std::string Code(char* text) {
    std::string code = text ? CleanUntrustedText(text) : std::string();
    cdio_free(text);
    return code.find_first_not_of("0 ") == std::string::npos ? std::string() : code;
}

}  // namespace

bool DiscLayout::HasCdText() const {
    if (!cdTextAlbum.empty() || !cdTextArtist.empty()) return true;
    for (const auto& t : tracks)
        if (!t.cdTextTitle.empty()) return true;
    return false;
}

DiscToc DiscLayout::Toc() const {
    DiscToc toc;
    for (const auto& t : tracks) toc.trackOffsets.push_back(t.firstSector + kLeadInSectors);
    toc.leadOut = leadOut + kLeadInSectors;
    return toc;
}

int DiscLayout::IndexOf(int session, int track) const {
    if (track < 0) return -1;
    int seen = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        if (tracks[i].session != session) continue;
        if (seen++ == track) return static_cast<int>(i);
    }
    return -1;
}

int DiscLayout::TracksInSession(int session) const {
    int n = 0;
    for (const auto& t : tracks) n += t.session == session;
    return n;
}

DiscLayout ReadDiscLayout(CdIo_t* cdio) {
    DiscLayout layout;
    if (!cdio) return layout;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return layout;
    const lsn_t leadOut = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    if (leadOut == CDIO_INVALID_LSN) return layout;
    layout.leadOut = leadOut;

    // Drives report where the last session starts; images say nothing, so they hold one.
    lsn_t lastSession = 0;
    bool multiSession = cdio_get_last_session(cdio, &lastSession) == DRIVER_OP_SUCCESS &&
                        lastSession > 0;

    const cdtext_t* text = cdio_get_cdtext(cdio);
    layout.cdTextAlbum = CdText(text, CDTEXT_FIELD_TITLE, 0);
    layout.cdTextArtist = CdText(text, CDTEXT_FIELD_PERFORMER, 0);
    layout.cdTextGenre = CdText(text, CDTEXT_FIELD_GENRE, 0);
    layout.mcn = Code(cdio_get_mcn(cdio));

    for (track_t n = first; n < first + count; ++n) {
        DiscTrack t;
        t.number = n;
        t.firstSector = cdio_get_track_lsn(cdio, n);
        if (t.firstSector == CDIO_INVALID_LSN) continue;
        t.audio = cdio_get_track_format(cdio, n) == TRACK_FORMAT_AUDIO;
        lsn_t next = n + 1 < first + count ? cdio_get_track_lsn(cdio, n + 1) : leadOut;
        if (next == CDIO_INVALID_LSN || next > leadOut) next = leadOut;
        t.session = multiSession && t.firstSector >= lastSession ? 1 : 0;
        int32_t end = next;
        if (multiSession && t.session == 0 && next >= lastSession && next != leadOut)
            end = next - kSessionGapSectors;
        t.sectors = end > t.firstSector ? end - t.firstSector : 0;
        t.cdTextTitle = CdText(text, CDTEXT_FIELD_TITLE, n);
        t.cdTextArtist = CdText(text, CDTEXT_FIELD_PERFORMER, n);
        if (t.audio) t.isrc = Code(cdio_get_track_isrc(cdio, n));
        const lsn_t pregap = cdio_get_track_pregap_lsn(cdio, n);
        if (pregap != CDIO_INVALID_LSN && pregap < t.firstSector) t.pregapSector = pregap;
        layout.tracks.push_back(std::move(t));
    }
    layout.sessionCount = 0;
    for (const auto& t : layout.tracks)
        if (t.session + 1 > layout.sessionCount) layout.sessionCount = t.session + 1;
    return layout;
}

}  // namespace quelt
