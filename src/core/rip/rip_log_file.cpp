#include "core/rip/rip_log_file.h"

#include <cstdio>

#include "core/rip/cue_sheet.h"
#include "core/rip/rip_verification.h"

namespace quelt {
namespace {

std::string Printf(const char* format, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string SignedSamples(int samples) { return (samples > 0 ? "+" : "") + std::to_string(samples) + " samples"; }

}  // namespace

std::string RipLogText(const RipLogContent& c) {
    std::string log = "Quelt CD Ripper Pro 1.0.0 rip log\n";
    char date[64] = {};
    std::tm local{};
    localtime_r(&c.when, &local);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
    log += std::string("Date: ") + date + "\n";
    log += "Drive: " + c.drive.vendor + " " + c.drive.model + " " + c.drive.revision + " (" + c.drive.id + ")\n";
    log += "Read mode: " + c.drive.readMode + "\n";
    log += "Read offset: " + SignedSamples(c.readOffset) + "\n";
    log += "AccurateRip: " + std::string(c.accurateRip ? "on" : "off") + ", disc id " + c.discId.Text() + "\n";
    if (!c.lookup.empty()) log += c.lookup + "\n";

    log += "\nTable of contents\n";
    log += "  Track |   Start  |  Length  | First sector | Last sector | Type\n";
    for (const DiscTrack& t : c.layout.tracks) {
        log += Printf("  %5d | %s | %s | %12d | %11d | %s\n", t.number, CueTime(t.firstSector).c_str(),
                      CueTime(t.sectors).c_str(), t.firstSector, t.firstSector + t.sectors - 1,
                      t.audio ? "audio" : "data");
    }
    log += Printf("  Lead-out at sector %d\n", c.layout.leadOut);

    for (const VerifiedTrack& t : c.tracks) {
        const DiscTrack& track = c.layout.tracks[t.layoutIndex];
        log += Printf("\nTrack %02d\n", track.number);
        log += "  File: " + t.path + "\n";
        if (!t.ripped) {
            log += "  Not ripped\n";
            continue;
        }
        log += "  Copy CRC: " + HexText(t.sums.crc32) + "\n";
        log += "  AccurateRip CRC: v1 " + HexText(t.sums.v1) + ", v2 " + HexText(t.sums.v2) + "\n";
        if (t.verdict) log += "  AccurateRip: " + t.verdict->Text() + "\n";
        log += Printf("  Sectors re-read: %d; unreadable sectors: %d\n", t.retriedSectors, t.unreadableSectors);
    }
    log += "\n" + c.summary + "\n";
    return log;
}

}  // namespace quelt
