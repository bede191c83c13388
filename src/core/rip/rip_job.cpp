#include "core/rip/rip_job.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <thread>

#include "core/catalogue/catalogue.h"
#include "core/jobs/component_error.h"
#include "core/jobs/job_control.h"
#include "core/jobs/job_report.h"
#include "core/jobs/prompter.h"
#include "core/jobs/track_output.h"
#include "core/naming/output_claim.h"
#include "core/naming/output_path.h"
#include "core/naming/paths.h"
#include "core/naming/templates.h"
#include "core/naming/text.h"
#include "core/rip/album_metadata.h"
#include "core/rip/cd_grabber.h"
#include "core/rip/cover_art.h"
#include "core/rip/disc.h"
#include "core/rip/playlist.h"
#include "core/rip/track_encoder.h"
#include "core/settings/app_paths.h"
#include "core/transcode/loudness_meter.h"
#include "core/transcode/pipeline.h"
#include "core/transcode/tag_rewrite.h"

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

// Forgets the output path of a track that left no file (the playlist lists only files).
void ForgetPath(std::vector<std::string>& paths, const std::string& path) {
    for (auto it = paths.rbegin(); it != paths.rend(); ++it)
        if (*it == path) {
            paths.erase(std::next(it).base());
            return;
        }
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
    ApplyRipFolderDefault(settings.rip);
    FixUpRipNameTemplate(settings.rip);
    return true;
}

RipJob::RipJob(Disc& disc, RipJobParameters parameters)
    : disc_(disc), params_(std::move(parameters)) {}

RipOutcome RipJob::Run(JobReport& report, JobControl& control) {
    report_ = &report;
    control_ = &control;
    const BusyUntilReturn busy(control);
    CdGrabber& grabber = disc_.grabber();
    Settings& settings = params_.settings;
    const RipSettings& rip = settings.rip;

    outcome_.checkedCount = disc_.CheckedCount();
    itemOfRow_.assign(disc_.rows().size(), -1);
    std::vector<std::string> checked;
    for (int row = 0; row < static_cast<int>(disc_.rows().size()); ++row)
        if (disc_.rows()[row].checked) {
            itemOfRow_[row] = static_cast<int>(checked.size());
            checked.push_back(FormatTrackNumber(row + 1, 2));
        }
    outcome_.items = PendingItems(checked);
    ExtensionForFormat(settings, params_.formatRow, true);
    const EncodeParameters preset = PresetFromLabel(params_.presetLabel);
    bitRate_ = preset.bitRate;
    sampleRate_ = preset.sampleRate;
    channels_ = preset.channels;
    sameAsSource_ = preset.sameAsSource;
    if (sameAsSource_) {
        // The disc's own audio: 44100 Hz, stereo, 16 bits.
        sampleRate_ = 44100;
        channels_ = 2;
    }
    if (params_.startDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(params_.startDelayMs));

    // The tray is a convenience: a drive that refuses is named in the log and the rip goes on.
    auto tray = [this](const char* what, const std::function<void()>& action) {
        try {
            action();
            return true;
        } catch (const ComponentError& error) {
            report_->Log(std::string("The tray could not be ") + what + ": " + error.what());
            return false;
        }
    };
    const bool trayLocked = rip.lockTray && tray("locked", [&] { grabber.LockTray(); });

    report_->SetItemBar(0);
    report_->SetTotalBar(0);
    report_->SetPositionLine("Current Position = 0 %");
    report_->SetBatchLine("Batch Rip = 0 %");
    report_->Log("Initializing...");
    report_->SetButton("Abort Convert", true);
    StartVerification();
    if (rip.coverArt && params_.coverImage.empty())
        params_.coverImage = FetchAlbumCover(disc_.album(), rip, *report_, &control_->cancel);

    // One core reads (paranoia's verification is work too), the others encode. More
    // encoders than that only compete with the reader, and each holds an encoder's buffers.
    encoders_ = params_.encoders > 0
                    ? params_.encoders
                    : std::max(1, static_cast<int>(std::thread::hardware_concurrency()) - 1);
    for (int i = 0; i < static_cast<int>(disc_.rows().size()); ++i) {
        if (!disc_.rows()[i].checked || control_->Cancelled()) continue;
        if (!RipRow(i, static_cast<int>(disc_.rows().size()))) {
            outcome_.stoppedEarly = true;
            break;
        }
    }
    Settle(0);
    // The ripped tracks are the album.
    for (const std::string& error : TagReplayGain(measured_)) report_->Log(error);

    if (trayLocked) tray("unlocked", [&] { grabber.UnlockTray(); });
    if (outcome_.stoppedEarly) {
        report_->SetButton("Close", true);
        return outcome_;
    }

    report_->SetItemBar(100);
    report_->SetTotalBar(100);
    report_->SetBatchLine("Total Postion : 100 %");
    FinishVerification();

    if (rip.createM3U && !outcome_.outputPaths.empty()) {
        const std::tm date = params_.today ? params_.today() : LocalToday();
        const std::string folder = rip.outputDirectory.empty() ? DefaultOutputFolder() : rip.outputDirectory;
        const std::string path = PlaylistPath(folder, date);
        if (AppendPlaylist(path, outcome_.outputPaths)) {
            outcome_.playlistPath = path;
            report_->Log(Format("Creating playlist : %s successfully.", path));
        }
    }

    if (control_->Cancelled()) {
        outcome_.cancelled = true;
        report_->Log(Format("Cancelled by user, %s track(s) were successfully.",
                            FormatTrackNumber(outcome_.rippedCount, 2)));
        if (params_.closingSound) params_.closingSound(false);
    } else {
        report_->Log(Format("Done, %s track(s) were successfully.",
                            FormatTrackNumber(outcome_.rippedCount, 2)));
        if (params_.closingSound) params_.closingSound(true);
        if (rip.ejectAfterRip) {
            tray("opened", [&] { grabber.EjectTray(); });
            report_->Log("Eject device tray...");
        }
    }
    report_->SetButton("Close", true);
    return outcome_;
}

struct RipJob::Track {
    int row = 0;
    std::string number;  // the row's number, two digits
    std::string path;
    // The folders made for the file: removed again (when empty) unless the file is kept.
    OutputClaim folders;
    std::unique_ptr<LoudnessMeter> meter;  // fed by the encoder; outlives it
    std::unique_ptr<TrackEncoder> encoder;
    int32_t unreadable = 0;
    int32_t retried = 0;
    TrackTags tags;
    std::optional<RipVerification::ReadTrack> read;  // its checksums, when verified
};

void RipJob::Later(std::function<void()> action) {
    steps_.push_back(Step{std::move(action), nullptr});
    Settle(unconcluded_);
}

void RipJob::LogLater(std::string line) {
    Later([this, line = std::move(line)] { report_->Log(line); });
}

void RipJob::Settle(int maxUnconcluded) {
    while (!steps_.empty()) {
        Step& step = steps_.front();
        if (step.conclude) {
            if (unconcluded_ <= maxUnconcluded && !step.conclude->encoder->Ended()) return;
            std::shared_ptr<Track> track = std::move(step.conclude);
            steps_.pop_front();
            --unconcluded_;
            Conclude(*track);
        } else {
            std::function<void()> action = std::move(step.action);
            steps_.pop_front();
            action();
        }
    }
}

void RipJob::RecordLater(int row, ItemState state, std::string reason) {
    Later([this, row, state, reason = std::move(reason)] {
        ItemResult& item = outcome_.items[itemOfRow_[row]];
        item.state = state;
        item.reason = reason;
        if (state == ItemState::kFailed) ++outcome_.failedCount;
    });
}

void RipJob::Conclude(Track& track) {
    if (auto encoded = track.encoder->Wait(); !encoded) {
        report_->Log(encoded.message());
        ForgetPath(outcome_.outputPaths, track.path);
        report_->Log(Format("Track %s failed, its partial file was removed.", track.number));
        RecordLater(track.row, ItemState::kFailed, encoded.message());
        return;
    }
    report_->Log("CD Track closing ...");
    track.folders.Keep();
    if (track.read)
        verification_->EndTrack(*track.read, track.path, track.tags, track.unreadable,
                                track.retried, track.unreadable == 0, *report_);
    if (track.unreadable > 0) {
        const std::string line = "Track " + track.number + ": " + std::to_string(track.unreadable) +
                                 " sector(s) could not be read after every attempt; the track is "
                                 "not counted as ripped.";
        report_->Log(line);
        RecordLater(track.row, ItemState::kFailed, line);
        return;
    }
    ++outcome_.rippedCount;
    RecordLater(track.row, ItemState::kDone);
    disc_.SetChecked(track.row, false);
    if (track.meter) measured_.emplace_back(track.path, track.meter->Finish());
}

void RipJob::UpdateBars(int64_t position, int64_t length) {
    // Rounds of 50 blocks overshoot the track's end; the bar stops at 100.
    const int64_t done = length > 0 ? std::min(position, length) : 1;
    const int64_t total = length > 0 ? length : 1;
    const int trackPercent = static_cast<int>(done * 100 / total);
    if (itemBar_ < trackPercent) {
        itemBar_ = trackPercent;
        report_->SetItemBar(trackPercent);
        char text[64];
        std::snprintf(text, sizeof text, "Current Postion : %7.2f %%",
                      static_cast<double>(done) * 100.0 / static_cast<double>(total));
        report_->SetPositionLine(text);
    }
    // Tracks read but still being encoded count as ripped here, as they would be by now in a
    // one-track-at-a-time rip.
    const int batch = ((outcome_.rippedCount + unconcluded_) * 100 + trackPercent) /
                      std::max(1, outcome_.checkedCount);
    if (batch > batchBar_) {
        batchBar_ = batch;
        report_->SetTotalBar(batch);
        report_->SetBatchLine("Batch Rip = " + std::to_string(batch) + " %");
    }
}

void RipJob::StartVerification() {
    const RipVerificationOptions& options = params_.verification;
    CdGrabber& grabber = disc_.grabber();
    try {
        grabber.SetReadOffset(options.readOffset);
        if (!options.accurateRip && !options.writeLog && !options.writeCue) return;
        RipDriveDescription drive{.vendor = grabber.DriveText1(),
                                  .model = grabber.DriveText2(),
                                  .revision = grabber.DriveText3(),
                                  .id = grabber.DriveId(),
                                  .readMode = "paranoia, full verification, up to " +
                                              std::to_string(grabber.ReadAttempts()) + " attempts per sector"};
        verification_ = std::make_unique<RipVerification>(grabber.Layout(), options, drive);
    } catch (const ComponentError& error) {
        report_->Log(std::string("Could not read the table of contents: ") + error.what());
        return;
    }
    if (verification_->active())
        verification_->Start(*report_, control_->cancel);
    else verification_.reset();
}

void RipJob::FinishVerification() {
    if (!verification_) return;
    verification_->Finish(*report_, control_->Cancelled());
    outcome_.accurateRipMismatch = verification_->anyMismatch();
    outcome_.logPath = verification_->logPath();
    outcome_.cuePath = verification_->cuePath();
}

bool RipJob::RipRow(int i, int rowCount) {
    CdGrabber& grabber = disc_.grabber();
    const Settings& settings = params_.settings;
    const TagLists& lists = disc_.tags();
    auto track = std::make_shared<Track>();
    track->row = i;
    track->number = FormatTrackNumber(i + 1, 2);
    const std::string& number = track->number;

    report_->SetItemBar(0);
    itemBar_ = 0;
    report_->SetPositionLine("Current Position = 0 %");

    bool trackOpen = false;
    bool pathListed = false;  // this track's path is the last of outcome_.outputPaths
    try {
        const int value = disc_.rows()[i].itemValue;
        grabber.SelectSession(value / 100);
        grabber.SelectTrack(value % 100);
        if (verification_) verification_->BeginTrack(value / 100, value % 100);
        report_->SetCounterLine(Format("Converting : track no. %s  / %s tracks", number,
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
        report_->SetInputLine(Format("Current Rip : %s ", tags.title));

        // At most encoders_ tracks are encoded at once: wait for the oldest before
        // starting another. Its conclusion may remove a folder it made, so this track's
        // folder is made after it.
        Settle(encoders_ - 1);
        const std::string path = track->path = RipOutputPath(settings, tags, &track->folders);
        outcome_.outputPaths.push_back(path);
        pathListed = true;
        LogLater(Format("Create output file: %s", path));
        const EncodeParameters encoding{.bitRate = bitRate_, .sampleRate = sampleRate_, .channels = channels_,
                                        .sameAsSource = sameAsSource_};
        OutputParameters parameters = TrackOutputParameters(
            path, settings.ripExtension, params_.formatRow, encoding,
            settings.rip.metadata ? &tags : nullptr);
        if (settings.rip.replayGain) {
            track->meter = std::make_unique<LoudnessMeter>();
            parameters.meter = track->meter.get();
        }
        if (parameters.tags) {
            parameters.tags->albumTags = AlbumTagsFor(disc_.album(), i, rowCount, tags.year);
            parameters.coverImage = params_.coverImage;
        }
        if (!params_.coverImage.empty())
            SaveCoverOnce(PathFolder(path), params_.coverImage, coverFolders_, *report_);
        auto created = !FormatTakesPreset(params_.formatRow, encoding)
                           ? Expected<AudioOutput>(Failure{"Could not open the audio encodec, skip.", 7})
                           : CreateAudioOutput(parameters);
        if (!created) {
            outcome_.outputPaths.pop_back();
            if (created.message().empty()) {
                const std::string line =
                    Format("Could not open the output file %s, the rip stops.", path);
                LogLater(line);
                RecordLater(i, ItemState::kFailed, line);
                return false;
            }
            LogLater(created.message());
            RecordLater(i, ItemState::kFailed, created.message());
            return true;
        }
        AudioOutput output = std::move(created.value());
        if (auto header = WriteOutputHeader(output); !header) {
            DiscardAudioOutput(output);
            outcome_.outputPaths.pop_back();
            LogLater(header.message());
            LogLater(Format("Track %s failed, its partial file was removed.", number));
            RecordLater(i, ItemState::kFailed, header.message());
            return true;
        }

        grabber.ReadSwitchA(0);
        grabber.ReadSwitchB(0);
        grabber.ReadSwitchC(0);
        LogLater("CD Track opening ...");
        grabber.OpenTrack();
        trackOpen = true;
        track->encoder = std::make_unique<TrackEncoder>(std::move(output));
        const int64_t length = static_cast<int64_t>(grabber.TrackSizeA()) * grabber.TrackSizeB() / 4;
        // The count of tracks ripped before this one is known only once they are concluded.
        Later([this, number] {
            report_->Log(Format(
                "Please wait, analyzes for several seconds and extracting track %s (\"%s\")...",
                FormatTrackNumber(outcome_.rippedCount + 1, 2), number));
        });

        int64_t position = 0;
        bool cancelled = false;
        do {
            if (control_->Cancelled()) {
                cancelled = true;
                break;
            }
            std::vector<uint8_t> pcm;
            const int32_t status = grabber.ReadBlocks(kBlocksPerRound, pcm);
            position += kBlocksPerRound;
            if (status > 0 && !pcm.empty()) {
                // The checksums see the audio here, in track order, as the reader hands it on.
                if (verification_) verification_->AddPcm(pcm.data(), pcm.size());
                // A failed encoder ends the reading; its conclusion says why.
                if (!track->encoder->Push(std::move(pcm))) break;
            }
            UpdateBars(position, length);
            Settle(unconcluded_);
        } while (position < length);

        grabber.CloseTrack();
        trackOpen = false;
        track->unreadable = grabber.UnreadableSectors();
        // A cancelled track ends its bar like a finished one; only the count differs.
        report_->SetItemBar(100);
        report_->SetPositionLine("Current Postion : 100 %");
        if (cancelled) {
            // The unfinished file goes; a file of that name from before stays untouched.
            track->encoder->Abandon();
            track->encoder.reset();
            // Not counted, but unchecked like a finished row: its partial file is gone, so
            // the playlist does not list it either.
            ForgetPath(outcome_.outputPaths, track->path);
            Later([this, i] { disc_.SetChecked(i, false); });
            LogLater("CD Track closing ...");
            return true;
        }
        track->retried = grabber.RetriedSectors();
        track->tags = tags;
        if (verification_) track->read = verification_->EndReading();
        track->encoder->Finish();
        steps_.push_back(Step{{}, track});
        ++unconcluded_;
        Settle(unconcluded_);
        return true;
    } catch (const std::exception& error) {
        // A component error, or anything else thrown while the track is processed (an
        // allocation, the file system), abandons this track only; the worker goes on.
        track->encoder.reset();  // discards its output
        if (trackOpen) {
            try {
                grabber.CloseTrack();
            } catch (const std::exception& closing) {
                LogLater(Format("The track could not be closed: %s", closing.what()));
            }
        }
        // Its partial file is gone, so the playlist does not list it.
        if (pathListed) ForgetPath(outcome_.outputPaths, track->path);
        const std::string line =
            Format("Could not read track %s (%s), skip.", number, error.what());
        LogLater(line);
        RecordLater(i, ItemState::kFailed, line);
        return true;
    }
}

}  // namespace quelt
