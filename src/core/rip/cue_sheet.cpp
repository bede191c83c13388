#include "core/rip/cue_sheet.h"

#include <cstdio>
#include <filesystem>

#include "core/rip/rip_verification.h"

namespace quelt {
namespace {

// Cue sheet texts are quoted; a quote inside one would end it early.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? '\'' : (c == '\r' || c == '\n' ? ' ' : c);
    return quoted + "\"";
}

std::string TrackNumber(int number) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", number);
    return text;
}

}  // namespace

std::string CueTime(int32_t sectors) {
    if (sectors < 0) sectors = 0;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", sectors / 4500, sectors / 75 % 60, sectors % 75);
    return text;
}

std::string CueSheetText(const DiscLayout& layout, const std::vector<VerifiedTrack>& tracks,
                         const std::string& cueFolder) {
    std::vector<const VerifiedTrack*> ripped;
    for (const auto& t : tracks)
        if (t.ripped) ripped.push_back(&t);
    if (ripped.empty()) return {};
    const TrackTags& disc = ripped.front()->tags;

    std::string cue;
    if (!disc.genre.empty()) cue += "REM GENRE " + Quoted(disc.genre) + "\n";
    if (!disc.year.empty()) cue += "REM DATE " + disc.year + "\n";
    cue += "REM COMMENT \"Quelt CD Ripper Pro\"\n";
    if (!layout.mcn.empty()) cue += "CATALOG " + layout.mcn + "\n";
    cue += "PERFORMER " + Quoted(disc.artist) + "\n";
    cue += "TITLE " + Quoted(disc.album) + "\n";

    int previousIndex = -2;  // layout index of the track whose file was written last
    for (const VerifiedTrack* t : ripped) {
        const DiscTrack& track = layout.tracks[t->layoutIndex];
        const std::string head = "  TRACK " + TrackNumber(track.number) + " AUDIO\n" + "    TITLE " +
                                 Quoted(t->tags.title) + "\n" + "    PERFORMER " + Quoted(t->tags.artist) +
                                 "\n" + (track.isrc.empty() ? "" : "    ISRC " + track.isrc + "\n");
        const std::string file =
            "FILE " + Quoted(std::filesystem::path(t->path).lexically_relative(cueFolder).generic_string()) +
            " WAVE\n";
        // The pregap's audio ends the previous track's file when that file is in this sheet.
        const bool pregapInPrevious = previousIndex == t->layoutIndex - 1 && track.pregapSector >= 0 &&
                                      track.pregapSector < track.firstSector;
        if (pregapInPrevious) {
            const DiscTrack& previous = layout.tracks[previousIndex];
            cue += head + "    INDEX 00 " + CueTime(track.pregapSector - previous.firstSector) + "\n" + file;
        } else {
            cue += file + head;
        }
        cue += "    INDEX 01 00:00:00\n";
        previousIndex = t->layoutIndex;
    }
    return cue;
}

}  // namespace quelt
