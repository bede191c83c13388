#include "core/convert/conversion_job.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "core/jobs/closing_sound.h"
#include "core/naming/output_path.h"
#include "core/naming/paths.h"
#include "core/naming/templates.h"
#include "core/naming/text.h"
#include "core/transcode/pipeline.h"
#include "core/transcode/track_output.h"

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
};

ConversionJob::ConversionJob(Settings settings, std::vector<ConvertItem> items, int formatRow,
                             const std::string& presetLabel, JobReport& report, JobControl& control)
    : ConversionJob(std::move(settings), std::move(items), formatRow, PresetFromLabel(presetLabel),
                    report, control) {}

ConversionJob::ConversionJob(Settings settings, std::vector<ConvertItem> items, int formatRow,
                             EncodeParameters preset, JobReport& report, JobControl& control)
    : settings_(std::move(settings)),
      items_(std::move(items)),
      formatRow_(formatRow),
      preset_(preset),
      report_(report),
      control_(control),
      sound_(PlayClosingSound) {
    ExtensionForFormat(settings_, formatRow_, false);
}

int ConversionJob::Run() {
    if (startDelay_.count() > 0) std::this_thread::sleep_for(startDelay_);
    summary_ = {};
    itemBar_ = totalBar_ = 0;
    report_.SetItemBar(0);
    report_.SetTotalBar(0);
    report_.SetBatchLine(std::string("Batch Convert = 0 ") + "%");
    report_.Log("Initializing...");

    for (size_t i = 0; i < items_.size() && !control_.Cancelled(); ++i) ConvertOne(i);

    report_.SetItemBar(100);
    report_.SetTotalBar(100);
    report_.SetBatchLine(std::string("Total Postion : 100 ") + "%");
    const bool cancelled = control_.Cancelled();
    summary_.cancelled = cancelled;
    std::string message = cancelled ? std::string("Convert cancelled by user")
                                    : "Done, " + FormatTrackNumber(summary_.finished, 2) +
                                          " track(s) were successfully.";
    if (sound_) sound_(!cancelled);
    report_.Log(message);
    report_.SetButton("Close", true);
    control_.busy.store(false);
    return summary_.finished;
}

void ConversionJob::ConvertOne(size_t i) {
    const ConvertItem& item = items_[i];
    const int count = static_cast<int>(items_.size());
    report_.SetInputLine("Input Audio : " + PathFileName(item.path));

    TrackTags tags;
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
    ConvertTarget target = ConvertOutputPath(settings_, item.path, tags);
    if (!target.logLine.empty()) report_.Log(target.logLine);
    if (target.skip) {
        ++summary_.skipped;
        return;
    }
    // Writing over the source itself is safe (the output replaces it only when complete),
    // but the source must then not be deleted afterwards.
    const bool outputIsSource = SameFile(item.path, target.path);

    auto input = OpenAudioInput(item.path, [&] {
        report_.SetButton("Abort Convert", true);
        report_.SetCounterLine("Converting : track no. " +
                               FormatTrackNumber(static_cast<int>(i) + 1, 2) + "  / " +
                               FormatTrackNumber(count, 2) + " tracks");
    });
    if (!input) {
        report_.Log(input.message());
        ++summary_.failed;
        return;
    }

    const OutputParameters parameters =
        TrackOutputParameters(target.path, settings_.convertExtension, IsAacRow(formatRow_),
                              preset_, settings_.convert.metadata == 1 ? &tags : nullptr);
    auto output = CreateAudioOutput(parameters);
    if (!output) {
        report_.Log(output.step() == kOutputFileOpenStep
                        ? "Could not open input audio " + item.path + ", skip."
                        : output.message());
        ++summary_.failed;
        return;
    }

    itemBar_ = 0;
    report_.SetItemBar(0);
    report_.Log("Create output file: " + target.path);
    if (auto error = WriteOutputHeader(*output)) {
        report_.Log(*error);
        ++summary_.failed;
        return;  // the output's destructor removes what was written
    }

    FileProgress progress{i, &*input};
    DecodeResult result = DecodeIntoOutput(
        *input, *output, control_.cancel, [&](int64_t ms) { OnPosition(progress, ms); },
        [&] { report_.Log(item.path + ": Error while decoding frame, skip."); });
    if (result.status == DecodeStatus::kCancelled) return;  // the unfinished output is discarded
    if (result.status == DecodeStatus::kWriteError) {
        report_.Log(WriteError(*output));
        ++summary_.failed;
        return;
    }

    report_.SetItemBar(100);
    report_.SetPositionLine(std::string("Current Postion : 100 ") + "%");
    if (auto error = CloseAudioOutput(*output)) {
        report_.Log(*error);
        ++summary_.failed;
        return;
    }
    target.claim.Keep();
    CloseAudioInput(*input);
    ++summary_.finished;

    // Only a source whose output is complete and clean goes.
    if (settings_.convert.deleteSource == 1 && !control_.Cancelled() && result.decodeErrors == 0 &&
        !outputIsSource) {
        std::error_code ec;
        fs::remove(item.path, ec);
    }
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
    if (percent > itemBar_) {
        itemBar_ = percent;
        report_.SetItemBar(percent);
        report_.SetPositionLine(PositionLine(exactPercent));
    }
    const int count = static_cast<int>(items_.size());
    int batch = (static_cast<int>(file.index) * 100 + percent) / count;
    if (batch > totalBar_) {
        totalBar_ = batch;
        report_.SetTotalBar(batch);
        report_.SetBatchLine("Batch Convert = " + std::to_string(batch) + " %");
    }
}

}  // namespace quelt
