#include "core/rip/rip_job.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "core/jobs/component_error.h"
#include "core/jobs/job_control.h"
#include "core/jobs/job_report.h"
#include "core/jobs/prompter.h"
#include "core/naming/output_path.h"
#include "core/naming/paths.h"
#include "core/naming/templates.h"
#include "core/naming/text.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/disc.h"
#include "core/rip/playlist.h"
#include "core/settings/app_paths.h"
#include "core/transcode/catalogue.h"
#include "core/transcode/pipeline.h"
#include "core/transcode/track_output.h"

namespace quelt {
namespace {

constexpr int kBlocksPerRound = 50;

const char* CText(const std::string& text) { return text.c_str(); }
const char* CText(const char* text) { return text; }

// printf-style texts of any length: paths may be far longer than a fixed buffer.
template <typename... Texts>
std::string Format(const char* format, const Texts&... texts) {
    const int length = std::snprintf(nullptr, 0, format, CText(texts)...);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, CText(texts)...);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::string OrDefault(const std::string& value, const char* fallback) {
    return value.empty() ? std::string(fallback) : value;
}

std::tm LocalToday() {
    std::time_t now = std::time(nullptr);
    std::tm date{};
    localtime_r(&now, &date);
    return date;
}

}  // namespace

bool PrepareRip(const Disc& disc, Settings& settings, Prompter& prompter) {
    if (disc.CheckedCount() == 0) {
        prompter.ShowMessage(kRipCaption, disc.rows().empty()
                                              ? "Please insert an Audio CD!"
                                              : "Please select audio tracks which you want to rip!");
        return false;
    }
    GetSettingText(settings, kModeRip, 101);
    GetSettingText(settings, kModeRip, 103);
    return true;
}

RipJob::RipJob(Disc& disc, RipJobParameters parameters, JobReport& report, JobControl& control)
    : disc_(disc), params_(std::move(parameters)), report_(report), control_(control) {}

RipOutcome RipJob::Run() {
    CdGrabber& grabber = disc_.grabber();
    Settings& settings = params_.settings;
    const RipSettings& rip = settings.rip;

    outcome_.checkedCount = disc_.CheckedCount();
    ExtensionForFormat(settings, params_.formatRow, true);
    const EncodeParameters preset = PresetFromLabel(params_.presetLabel);
    bitRate_ = preset.bitRate;
    sampleRate_ = preset.sampleRate;
    channels_ = preset.channels;
    forceAac_ = IsAacRow(params_.formatRow);
    if (params_.startDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(params_.startDelayMs));

    bool trayLocked = false;
    if (rip.lockTray) {
        try {
            grabber.LockTray();
            trayLocked = true;
        } catch (const ComponentError&) {
        }
    }

    report_.SetItemBar(0);
    report_.SetTotalBar(0);
    report_.SetPositionLine("Current Position = 0 %");
    report_.SetBatchLine("Batch Rip = 0 %");
    report_.Log("Initializing...");
    report_.SetButton("Abort Convert", true);

    for (int i = 0; i < static_cast<int>(disc_.rows().size()); ++i) {
        if (!disc_.rows()[i].checked || control_.Cancelled()) continue;
        TrackResult result = RipRow(i, static_cast<int>(disc_.rows().size()));
        if (result == TrackResult::kRipped) {
            ++outcome_.rippedCount;
            disc_.SetChecked(i, false);
        } else if (result == TrackResult::kCancelled) {
            // The rows of a cancelled track stay checked; it is neither counted nor done.
        } else if (result == TrackResult::kFailed) {
            ++outcome_.failedCount;
        } else if (result == TrackResult::kStopJob) {
            outcome_.stoppedEarly = true;
            ++outcome_.failedCount;
            break;
        }
    }

    if (trayLocked) {
        try {
            grabber.UnlockTray();
        } catch (const ComponentError&) {
        }
    }
    if (outcome_.stoppedEarly) {
        report_.SetButton("Close", true);
        control_.busy.store(false);
        return outcome_;
    }

    report_.SetItemBar(100);
    report_.SetTotalBar(100);
    report_.SetBatchLine("Total Postion : 100 %");

    if (rip.createM3U && !outcome_.outputPaths.empty()) {
        const std::tm date = params_.today ? params_.today() : LocalToday();
        const std::string folder = rip.outputDirectory.empty() ? DefaultOutputFolder() : rip.outputDirectory;
        const std::string path = PlaylistPath(folder, date);
        if (AppendPlaylist(path, outcome_.outputPaths)) {
            outcome_.playlistPath = path;
            report_.Log(Format("Creating playlist : %s successfully.", path));
        }
    }

    if (control_.Cancelled()) {
        outcome_.cancelled = true;
        report_.Log(Format("Cancelled by user, %s track(s) were successfully.",
                           FormatTrackNumber(outcome_.rippedCount, 2)));
        if (params_.closingSound) params_.closingSound(false);
    } else {
        report_.Log(Format("Done, %s track(s) were successfully.", FormatTrackNumber(outcome_.rippedCount, 2)));
        if (params_.closingSound) params_.closingSound(true);
        if (rip.ejectAfterRip) {
            try {
                grabber.EjectTray();
            } catch (const ComponentError&) {
            }
            report_.Log("Eject device tray...");
        }
    }
    report_.SetButton("Close", true);
    control_.busy.store(false);
    return outcome_;
}

RipJob::TrackResult RipJob::RipRow(int i, int rowCount) {
    CdGrabber& grabber = disc_.grabber();
    const Settings& settings = params_.settings;
    const TagLists& lists = disc_.tags();
    const std::string number = FormatTrackNumber(i + 1, 2);

    report_.SetItemBar(0);
    itemBar_ = 0;
    report_.SetPositionLine("Current Position = 0 %");

    AudioOutput output;
    bool trackOpen = false;
    bool pathListed = false;  // this track's path is the last of outcome_.outputPaths
    try {
        const int value = disc_.rows()[i].itemValue;
        grabber.SelectSession(value / 100);
        grabber.SelectTrack(value % 100);
        report_.SetCounterLine(Format("Converting : track no. %s  / %s tracks", number,
                                      FormatTrackNumber(rowCount, 2)));

        auto tag = [&](const std::vector<std::string>& list) {
            return static_cast<std::size_t>(i) < list.size() ? list[i] : std::string();
        };
        TrackTags tags;
        tags.number = i + 1;
        tags.artist = OrDefault(tag(lists.artist), "Artist");
        tags.album = OrDefault(tag(lists.album), "Album");
        tags.title = OrDefault(tag(lists.title), "Title");
        tags.genre = OrDefault(tag(lists.genre), "Genre");
        tags.year = OrDefault(tag(lists.year), "2007");
        tags.copyright = tag(lists.copyright);
        tags.comment = tag(lists.comment);
        tags.bitrate = bitRate_ / 1000;
        tags.sampleRate = sampleRate_;
        report_.SetInputLine(Format("Current Rip : %s ", tags.title));

        const std::string path = RipOutputPath(settings, tags);
        outcome_.outputPaths.push_back(path);
        pathListed = true;
        report_.Log(Format("Create output file: %s", path));

        const OutputParameters parameters = TrackOutputParameters(
            path, settings.ripExtension, forceAac_,
            EncodeParameters{.bitRate = bitRate_, .sampleRate = sampleRate_, .channels = channels_},
            settings.rip.metadata ? &tags : nullptr);
        auto created = CreateAudioOutput(parameters);
        if (!created) {
            outcome_.outputPaths.pop_back();
            if (created.message().empty()) {
                report_.Log(Format("Could not open the output file %s, the rip stops.", path));
                return TrackResult::kStopJob;
            }
            report_.Log(created.message());
            return TrackResult::kSkipped;
        }
        output = std::move(created.value());
        if (auto error = WriteOutputHeader(output)) {
            report_.Log(*error);
            DiscardAudioOutput(output);
            outcome_.outputPaths.pop_back();
            report_.Log(Format("Track %s failed, its partial file was removed.", number));
            return TrackResult::kFailed;
        }

        grabber.ReadSwitchA(0);
        grabber.ReadSwitchB(0);
        grabber.ReadSwitchC(0);
        report_.Log("CD Track opening ...");
        grabber.OpenTrack();
        trackOpen = true;
        const int64_t length = static_cast<int64_t>(grabber.TrackSizeA()) * grabber.TrackSizeB() / 4;
        report_.Log(Format("Please wait, analyzes for several seconds and extracting track %s (\"%s\")...",
                           FormatTrackNumber(outcome_.rippedCount + 1, 2), number));

        std::vector<uint8_t> pcm;
        int64_t position = 0;
        bool cancelled = false;
        do {
            if (control_.Cancelled()) {
                cancelled = true;
                break;
            }
            const int32_t status = grabber.ReadBlocks(kBlocksPerRound, pcm);
            position += kBlocksPerRound;
            if (status > 0 && !pcm.empty()) {
                BlockStatus written = EncodePcmBlock(output, reinterpret_cast<const int16_t*>(pcm.data()),
                                                     pcm.size(), 44100, 2, EncodeVariant::kRip);
                if (written != BlockStatus::kOk) {
                    report_.Log(WriteError(output));
                    DiscardAudioOutput(output);
                    grabber.CloseTrack();
                    outcome_.outputPaths.pop_back();
                    report_.Log(Format("Track %s failed, its partial file was removed.", number));
                    return TrackResult::kFailed;
                }
            }
            // Rounds of 50 blocks overshoot the track's end; the bar stops at 100.
            const int64_t done = length > 0 ? std::min(position, length) : 1;
            const int64_t total = length > 0 ? length : 1;
            const int trackPercent = static_cast<int>(done * 100 / total);
            if (itemBar_ < trackPercent) {
                itemBar_ = trackPercent;
                report_.SetItemBar(trackPercent);
                char text[64];
                std::snprintf(text, sizeof text, "Current Postion : %7.2f %%",
                              static_cast<double>(done) * 100.0 / static_cast<double>(total));
                report_.SetPositionLine(text);
            }
            const int batch = (outcome_.rippedCount * 100 + trackPercent) / std::max(1, outcome_.checkedCount);
            if (batch > batchBar_) {
                batchBar_ = batch;
                report_.SetTotalBar(batch);
                report_.SetBatchLine("Batch Rip = " + std::to_string(batch) + " %");
            }
        } while (position < length);

        if (cancelled) {
            // The unfinished file goes; a file of that name from before stays untouched.
            DiscardAudioOutput(output);
            report_.Log("CD Track closing ...");
            grabber.CloseTrack();
            trackOpen = false;
            // A cancelled track ends its bar like a finished one; only the count differs.
            report_.SetItemBar(100);
            report_.SetPositionLine("Current Postion : 100 %");
            return TrackResult::kCancelled;
        }
        if (auto error = CloseAudioOutput(output)) {
            report_.Log(*error);
            grabber.CloseTrack();
            outcome_.outputPaths.pop_back();
            report_.Log(Format("Track %s failed, its partial file was removed.", number));
            return TrackResult::kFailed;
        }
        report_.Log("CD Track closing ...");
        grabber.CloseTrack();
        trackOpen = false;
        report_.SetItemBar(100);
        report_.SetPositionLine("Current Postion : 100 %");

        const int32_t unreadable = grabber.UnreadableSectors();
        if (unreadable > 0) {
            report_.Log("Track " + number + ": " + std::to_string(unreadable) +
                        " sector(s) could not be read after every attempt; the track is not counted as ripped.");
            return TrackResult::kFailed;
        }
        return TrackResult::kRipped;
    } catch (const std::exception& error) {
        // A component error, or anything else thrown while the track is processed (an
        // allocation, the file system), abandons this track only; the worker goes on.
        DiscardAudioOutput(output);
        if (trackOpen) {
            try {
                grabber.CloseTrack();
            } catch (const std::exception&) {
            }
        }
        // Its partial file is gone, so the playlist does not list it.
        if (pathListed) outcome_.outputPaths.pop_back();
        report_.Log(Format("Could not read track %s (%s), skip.", number, error.what()));
        return TrackResult::kFailed;
    }
}

}  // namespace quelt
