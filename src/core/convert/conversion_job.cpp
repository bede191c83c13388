#include "core/convert/conversion_job.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "core/convert/ordered_report.h"
#include "core/jobs/track_output.h"
#include "core/naming/output_path.h"
#include "core/naming/paths.h"
#include "core/naming/templates.h"
#include "core/naming/text.h"
#include "core/transcode/pipeline.h"
#include "core/transcode/tag_rewrite.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

// True when both paths name one file (the second need not exist yet).
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::exists(b, ec) && fs::equivalent(a, b, ec)) return true;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

std::string PositionLine(double percent) {
    char text[64];
    std::snprintf(text, sizeof text, "Current Postion : %7.2f ", percent);
    return std::string(text) + "%";
}

}  // namespace

bool CheckConvertList(const std::vector<ConvertItem>& items, Prompter& prompter) {
    if (!items.empty()) return true;
    prompter.ShowMessage(kConvertCaption, kPleaseAddFilesText);
    return false;
}

struct ConversionJob::FileProgress {
    size_t index;
    const AudioInput* input;
    JobReport& report;
    int itemBar = 0;
};

// A file taken by a worker: its position, tags and output name.
struct ConversionJob::Started {
    size_t index = 0;
    TrackTags tags;
    ConvertTarget target;
};

ConversionJob::ConversionJob(ConversionJobParameters parameters)
    : settings_(std::move(parameters.settings)),
      items_(std::move(parameters.items)),
      formatRow_(parameters.formatRow),
      preset_(PresetFromLabel(parameters.presetLabel)),
      startDelay_(parameters.startDelayMs),
      sound_(std::move(parameters.closingSound)) {
    ExtensionForFormat(settings_, formatRow_, false);
}

int ConversionJob::Parallelism() const {
    if (settings_.convert.jobs > 0) return settings_.convert.jobs;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

ConversionSummary ConversionJob::Run(JobReport& report, JobControl& control) {
    report_ = &report;
    control_ = &control;
    const BusyUntilReturn busy(control);
    if (startDelay_.count() > 0) std::this_thread::sleep_for(startDelay_);
    summary_ = {};
    std::vector<std::string> sources;
    for (const ConvertItem& item : items_) sources.push_back(item.path);
    summary_.items = PendingItems(sources);
    totalBar_ = 0;
    next_ = 0;
    percent_.assign(items_.size(), 0);
    writing_.assign(items_.size(), std::string());
    meters_.clear();
    meters_.resize(items_.size());
    measured_.assign(items_.size(), {});
    report_->SetItemBar(0);
    report_->SetTotalBar(0);
    report_->SetBatchLine(std::string("Batch Convert = 0 ") + "%");
    report_->Log("Initializing...");

    OrderedReport ordered(report, static_cast<int>(items_.size()));
    ordered_ = &ordered;
    const size_t workers = std::min<size_t>(static_cast<size_t>(Parallelism()), items_.size());
    if (workers <= 1) {
        Work();
    } else {
        // The workers inherit this thread's priority.
        std::vector<std::thread> threads;
        for (size_t w = 0; w < workers; ++w) threads.emplace_back([this] { Work(); });
        for (std::thread& thread : threads) thread.join();
    }
    ordered_ = nullptr;
    if (settings_.convert.replayGain) WriteReplayGain();

    report_->SetItemBar(100);
    report_->SetTotalBar(100);
    report_->SetBatchLine(std::string("Total Postion : 100 ") + "%");
    const bool cancelled = control_->Cancelled();
    summary_.cancelled = cancelled;
    std::string message = cancelled ? std::string("Convert cancelled by user")
                                    : "Done, " + FormatTrackNumber(summary_.finished(), 2) +
                                          " track(s) were successfully.";
    if (sound_) sound_(!cancelled);
    report_->Log(message);
    report_->SetButton("Close", true);
    return summary_;
}

void ConversionJob::Work() {
    Started started;
    while (StartNext(started)) {
        ConvertOne(started);
        EndFile(started.index);
    }
}

bool ConversionJob::StartNext(Started& started) {
    std::unique_lock lock(mutex_);
    if (next_ >= items_.size() || control_->Cancelled()) return false;
    const size_t i = next_++;
    const ConvertItem& item = items_[i];
    JobReport& report = ordered_->File(static_cast<int>(i));
    report.SetInputLine("Input Audio : " + PathFileName(item.path));

    started = Started{};
    started.index = i;
    TrackTags& tags = started.tags;
    tags.number = static_cast<int>(i) + 1;
    tags.title = item.title;
    tags.artist = item.artist;
    tags.album = item.album;
    tags.genre = item.genre;
    tags.year = item.year;
    tags.bitrate = preset_.bitRate;
    tags.sampleRate = preset_.sampleRate;
    tags.sourceTitle = PathFileTitle(item.path);
    tags.comment = item.comment;
    tags.copyright = item.copyright;
    // Names are chosen here, in list order and one at a time, so that a file sees the names
    // of every earlier file as taken, as it would in a one-file-at-a-time batch.
    started.target = ConvertOutputPath(settings_, item.path, tags);
    // Earlier files that write the same path (the "overwrite" rule) finish first, in list
    // order, so the last file's output is the one that stays.
    if (started.target.skip) return true;
    const std::string& path = started.target.path;
    writing_[i] = path;
    fileEnded_.wait(lock, [&] {
        return std::find(writing_.begin(), writing_.begin() + static_cast<std::ptrdiff_t>(i), path) ==
               writing_.begin() + static_cast<std::ptrdiff_t>(i);
    });
    return true;
}

void ConversionJob::EndFile(size_t index) {
    ordered_->Finished(static_cast<int>(index));
    std::lock_guard lock(mutex_);
    writing_[index].clear();
    fileEnded_.notify_all();
}

void ConversionJob::ConvertOne(Started& started) {
    const size_t i = started.index;
    const ConvertItem& item = items_[i];
    const int count = static_cast<int>(items_.size());
    JobReport& report = ordered_->File(static_cast<int>(i));
    TrackTags& tags = started.tags;
    ConvertTarget& target = started.target;
    // Logs the line that concludes the file (when there is one) and records its outcome.
    auto conclude = [&](ItemState state, const std::string& line) {
        if (!line.empty()) report.Log(line);
        std::lock_guard lock(mutex_);
        summary_.items[i].state = state;
        if (state != ItemState::kDone) summary_.items[i].reason = line;
        percent_[i] = 100;
    };

    if (target.skip) {
        conclude(ItemState::kSkipped, target.logLine);
        return;
    }
    if (!target.logLine.empty()) report.Log(target.logLine);
    // Writing over the source itself is safe (the output replaces it only when complete),
    // but the source must then not be deleted afterwards.
    const bool outputIsSource = SameFile(item.path, target.path);

    auto input = OpenAudioInput(item.path, [&] {
        report.SetButton("Abort Convert", true);
        report.SetCounterLine("Converting : track no. " +
                              FormatTrackNumber(static_cast<int>(i) + 1, 2) + "  / " +
                              FormatTrackNumber(count, 2) + " tracks");
    });
    if (!input) {
        conclude(ItemState::kFailed, input.message());
        return;
    }

    OutputParameters parameters =
        TrackOutputParameters(target.path, settings_.convertExtension, formatRow_, preset_,
                              settings_.convert.metadata ? &tags : nullptr);
    if (settings_.convert.replayGain) {
        meters_[i] = std::make_unique<LoudnessMeter>();
        parameters.meter = meters_[i].get();
    }
    if (preset_.sameAsSource) {
        parameters.sampleRate = input->sampleRate();
        parameters.channels = input->channels();
        parameters.bitsPerSample = input->bitsPerSample();
    }
    auto output = FormatTakesPreset(formatRow_, preset_)
                      ? CreateAudioOutput(parameters)
                      : Expected<AudioOutput>(Failure{"Could not open the audio encodec, skip.", 7});
    if (!output) {
        conclude(ItemState::kFailed, output.step() == kOutputFileOpenStep
                                         ? "Could not open input audio " + item.path + ", skip."
                                         : output.message());
        return;
    }

    report.SetItemBar(0);
    report.Log("Create output file: " + target.path);
    if (auto header = WriteOutputHeader(*output); !header) {
        conclude(ItemState::kFailed, header.message());
        return;  // the output's destructor removes what was written
    }

    FileProgress progress{i, &*input, report};
    DecodeResult result = DecodeIntoOutput(
        *input, *output, control_->cancel, [&](int64_t ms) { OnPosition(progress, ms); },
        [&] { report.Log(item.path + ": Error while decoding frame, skip."); });
    if (result.status == DecodeStatus::kCancelled) return;  // the unfinished output is discarded
    if (result.status == DecodeStatus::kWriteError) {
        conclude(ItemState::kFailed, WriteError(*output));
        return;
    }
    // A damaged file that lost audio would pass for a whole copy (and could cost its source).
    if (AudioWasLost(result, *input)) {
        conclude(ItemState::kFailed,
                 item.path + ": damaged audio, only " + FormatDuration(result.decodedMs) + " of " +
                     FormatDuration(std::max(input->statedMs(), input->durationMs())) +
                     " could be decoded; the output was removed, skip.");
        return;
    }

    report.SetItemBar(100);
    report.SetPositionLine(std::string("Current Postion : 100 ") + "%");
    if (auto closed = CloseAudioOutput(*output); !closed) {
        conclude(ItemState::kFailed, closed.message());
        return;
    }
    target.claim.Keep();
    CloseAudioInput(*input);
    if (meters_[i]) measured_[i] = {target.path, meters_[i]->Finish()};
    conclude(ItemState::kDone, "");

    // Only a source whose output is complete and clean goes.
    if (settings_.convert.deleteSource && !control_->Cancelled() && result.decodeErrors == 0 &&
        !outputIsSource) {
        std::error_code ec;
        fs::remove(item.path, ec);
    }
}

// The batch's files are the album.
void ConversionJob::WriteReplayGain() {
    for (const std::string& error : TagReplayGain(measured_)) report_->Log(error);
}

void ConversionJob::OnPosition(FileProgress& file, int64_t ms) {
    const int64_t duration = file.input->durationMs();
    double exact;
    if (duration >= 1) {
        if (ms < 0) return;
        exact = static_cast<double>(ms) * 100.0 / static_cast<double>(duration);
    } else {
        // No usable duration: follow the bytes read instead.
        double fraction = file.input->readFraction();
        if (fraction < 0) return;
        exact = fraction * 100.0;
    }
    // Decoding goes on past a container's stated duration; the bars stop at 100.
    exact = std::min(exact, 100.0);
    int percent = duration >= 1 ? static_cast<int>(std::min<int64_t>(ms * 100 / duration, 100))
                                : static_cast<int>(exact);
    AdvanceBars(file, percent, exact);
}

void ConversionJob::AdvanceBars(FileProgress& file, int percent, double exactPercent) {
    if (percent > file.itemBar) {
        file.itemBar = percent;
        file.report.SetItemBar(percent);
        file.report.SetPositionLine(PositionLine(exactPercent));
    }
    // The batch covers all the work: every ended file counts whole, each running file by
    // its own percentage (one file at a time, this is (i x 100 + P) / count).
    std::lock_guard lock(mutex_);
    percent_[file.index] = std::max(percent_[file.index], percent);
    int64_t sum = 0;
    for (int p : percent_) sum += p;
    const int batch = static_cast<int>(sum / static_cast<int64_t>(items_.size()));
    if (batch > totalBar_) {
        totalBar_ = batch;
        report_->SetTotalBar(batch);
        report_->SetBatchLine("Batch Convert = " + std::to_string(batch) + " %");
    }
}

}  // namespace quelt
