#include "core/rip/rip_verification.h"

#include <filesystem>
#include <fstream>

#include "core/jobs/job_report.h"
#include "core/naming/paths.h"
#include "core/naming/text.h"
#include "core/rip/accuraterip_lookup.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/cue_sheet.h"
#include "core/rip/rip_log_file.h"

namespace quelt {
namespace {

// A name for the log and cue sheet: the disc's artist and album, without folder separators
// or control characters.
std::string DiscFileTitle(const TrackTags& tags) {
    std::string title = tags.artist + " - " + tags.album;
    for (char& c : title)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    if (title.empty() || title[0] == '.') title = "_" + title;
    return title;
}

// Writes through a temporary name, so a failed write leaves no half file behind.
bool WriteWhole(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << text;
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) std::remove(temporary.c_str());
    return !error;
}

}  // namespace

RipVerificationOptions VerificationOptionsOf(const RipSettings& rip, int readOffset) {
    RipVerificationOptions options;
    options.accurateRip = rip.accurateRip;
    options.accurateRipServer = rip.accurateRipServer;
    options.writeLog = rip.ripLog;
    options.writeCue = rip.ripCue;
    options.readOffset = readOffset;
    return options;
}

RipVerification::RipVerification(DiscLayout layout, RipVerificationOptions options, RipDriveDescription drive)
    : layout_(std::move(layout)), options_(std::move(options)), drive_(std::move(drive)) {
    discId_ = AccurateRipIdOf(layout_);
}

bool RipVerification::active() const { return options_.accurateRip || options_.writeLog || options_.writeCue; }

int RipVerification::AudioIndexOf(int layoutIndex) const {
    int audio = 0;
    for (int i = 0; i < static_cast<int>(layout_.tracks.size()); ++i) {
        if (i == layoutIndex) return layout_.tracks[i].audio ? audio : -1;
        audio += layout_.tracks[i].audio;
    }
    return -1;
}

void RipVerification::Start(JobReport& report, const std::atomic<bool>& cancel) {
    if (!options_.accurateRip) return;
    AccurateRipLookup lookup = LookUpAccurateRip(options_.accurateRipServer, discId_, cancel, options_.deadline);
    lookupText_ = lookup.text;
    if (lookup.result == AccurateRipLookup::Result::kFound) pressings_ = std::move(lookup.pressings);
    lookedUp_ = lookup.result == AccurateRipLookup::Result::kFound ||
                lookup.result == AccurateRipLookup::Result::kNotFound;
    if (lookup.result == AccurateRipLookup::Result::kFailed) lookupText_ += "; the tracks are not verified";
    if (!lookupText_.empty()) report.Log(lookupText_);
}

void RipVerification::BeginTrack(int session, int track) {
    const int layoutIndex = layout_.IndexOf(session, track);
    currentIndex_ = layoutIndex;
    checksummer_.reset();
    const int audioIndex = AudioIndexOf(layoutIndex);
    if (!active() || audioIndex < 0) return;
    const DiscTrack& disc = layout_.tracks[layoutIndex];
    int audioTracks = 0;
    for (const auto& t : layout_.tracks) audioTracks += t.audio;
    checksummer_.emplace(static_cast<int64_t>(disc.sectors) * kSectorFrames, audioIndex == 0,
                         audioIndex == audioTracks - 1);
}

void RipVerification::AddPcm(const uint8_t* pcm, std::size_t bytes) {
    if (checksummer_) checksummer_->Add(pcm, bytes);
}

std::optional<RipVerification::ReadTrack> RipVerification::EndReading() {
    if (!checksummer_) return std::nullopt;
    ReadTrack read{.layoutIndex = currentIndex_, .sums = checksummer_->Result()};
    checksummer_.reset();
    return read;
}

void RipVerification::EndTrack(const ReadTrack& read, const std::string& path, const TrackTags& tags,
                               int unreadableSectors, int retriedSectors, bool ripped, JobReport& report) {
    VerifiedTrack track;
    track.layoutIndex = read.layoutIndex;
    track.path = path;
    track.tags = tags;
    track.sums = read.sums;
    track.unreadableSectors = unreadableSectors;
    track.retriedSectors = retriedSectors;
    track.ripped = ripped;
    const std::string number = FormatTrackNumber(layout_.tracks[read.layoutIndex].number, 2);
    if (options_.accurateRip && lookedUp_ && ripped) {
        track.verdict = pressings_ ? VerdictOf(*pressings_, AudioIndexOf(read.layoutIndex), track.sums)
                                   : AccurateRipVerdict{};
        if (track.verdict->match == AccurateRipMatch::kNotAccurate) mismatch_ = true;
        report.Log("Track " + number + ": " + track.verdict->Text() + " [v1 " + HexText(track.sums.v1) +
                   ", v2 " + HexText(track.sums.v2) + ", copy CRC " + HexText(track.sums.crc32) + "]");
    }
    tracks_.push_back(std::move(track));
}

std::string RipVerification::Summary(bool cancelled) const {
    std::vector<std::string> failed, notAccurate, unknown;
    for (const auto& t : tracks_) {
        const std::string number = FormatTrackNumber(layout_.tracks[t.layoutIndex].number, 2);
        if (!t.ripped) failed.push_back(number);
        else if (t.verdict && t.verdict->match == AccurateRipMatch::kNotAccurate) notAccurate.push_back(number);
        else if (t.verdict && t.verdict->match == AccurateRipMatch::kNotInDatabase) unknown.push_back(number);
    }
    auto join = [](const std::vector<std::string>& list) {
        std::string text;
        for (const auto& n : list) text += (text.empty() ? "" : ", ") + n;
        return text;
    };
    std::string summary;
    auto line = [&](const std::string& text) { summary += (summary.empty() ? "" : "\n") + text; };
    if (cancelled) line("The rip was cancelled");
    if (!failed.empty()) line("Tracks not ripped: " + join(failed));
    if (!notAccurate.empty()) line("Tracks not accurately ripped: " + join(notAccurate));
    if (!unknown.empty()) line("Tracks not in the database: " + join(unknown));
    if (summary.empty()) {
        if (options_.accurateRip && lookedUp_ && !tracks_.empty()) line("All tracks accurately ripped");
        else if (options_.accurateRip) line("All tracks ripped; not verified with AccurateRip");
        else line("All tracks ripped; AccurateRip verification was off");
    }
    return summary;
}

void RipVerification::Finish(JobReport& report, bool cancelled) {
    if (!active()) return;
    const std::string summary = Summary(cancelled);
    if (options_.accurateRip) {
        std::size_t start = 0;
        while (start <= summary.size()) {
            const std::size_t end = summary.find('\n', start);
            report.Log(summary.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    const VerifiedTrack* first = nullptr;
    for (const auto& t : tracks_)
        if (t.ripped) {
            first = &t;
            break;
        }
    if (!first) return;
    const std::string folder = PathFolder(first->path);
    const std::string title = DiscFileTitle(first->tags);
    if (options_.writeLog) {
        RipLogContent content{.layout = layout_,
                              .drive = drive_,
                              .readOffset = options_.readOffset,
                              .accurateRip = options_.accurateRip,
                              .discId = discId_,
                              .lookup = lookupText_,
                              .tracks = tracks_,
                              .summary = summary};
        const std::string path = folder + title + ".log";
        if (WriteWhole(path, RipLogText(content))) {
            logPath_ = path;
            report.Log("Writing rip log : " + path);
        } else {
            report.Log("Could not write the rip log " + path);
        }
    }
    if (options_.writeCue) {
        const std::string path = folder + title + ".cue";
        if (WriteWhole(path, CueSheetText(layout_, tracks_, folder))) {
            cuePath_ = path;
            report.Log("Writing cue sheet : " + path);
        } else {
            report.Log("Could not write the cue sheet " + path);
        }
    }
}

}  // namespace quelt
