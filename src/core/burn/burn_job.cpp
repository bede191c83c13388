#include "core/burn/burn_job.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/burn/burn_temp_files.h"
#include "core/burn/burner_status.h"
#include "core/burn/compilation_limits.h"
#include "core/burn/image_writer.h"
#include "core/burn/wav_file.h"
#include "core/jobs/track_output.h"
#include "core/naming/paths.h"
#include "core/naming/text.h"
#include "core/settings/app_paths.h"
#include "core/transcode/media_info.h"
#include "core/transcode/pipeline.h"

namespace quelt {
namespace {

// The temporary files' encoding: WAV, 44100 Hz, stereo.
constexpr int kBurnBitRate = 196000;
constexpr int kBurnSampleRate = 44100;
constexpr int kBurnChannels = 2;
constexpr const char* kBurnExtension = ".wav";
constexpr const char* kAbortCaption = "Abort Convert";
// The shortest track an Audio CD may hold: 4 seconds of 16-bit stereo at 44100 Hz.
constexpr uint64_t kMinimumTrackBytes = 4ull * kBurnSampleRate * kBurnChannels * 2;

// The tags of a temporary file, which the writers turn into the disc's CD-Text: the
// source's own title (its file name when it has none) and artist, and the disc's label as
// the album, which becomes the disc title.
OutputTags TemporaryFileTags(const std::string& source, int index, const std::string& label) {
    OutputTags tags;
    if (auto info = ReadMediaInfo(source)) {
        tags.title = info->title;
        tags.artist = info->artist;
        tags.genre = info->genre;
        tags.year = info->year;
        tags.comment = info->comment;
        tags.copyright = info->copyright;
    }
    if (tags.title.empty()) tags.title = PathFileTitle(source);
    tags.album = label;
    tags.track = index + 1;
    return tags;
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Format(const char* format, int value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Fill(const std::string& pattern, const std::string& value) {
    const size_t at = pattern.find("%s");
    return at == std::string::npos ? pattern
                                   : pattern.substr(0, at) + value + pattern.substr(at + 2);
}

}  // namespace

bool CheckBurnStart(const BurnRequest& request, BurnerLibrary& library, Prompter& prompter,
                    const BurnerResultSink& sink) {
    if (request.writerCount <= 0) {
        prompter.ShowMessage(kBurnCaption, kNoSupportBurnerText);
        return false;
    }
    if (request.sources.empty()) {
        prompter.ShowMessage(kBurnCaption, kAddAudioFilesText);
        return false;
    }
    if (!IsWritableMedium(library, request.writerCount, sink)) {
        prompter.ShowMessage(kBurnCaption, kInsertWritableDiscText);
        return false;
    }
    return true;
}

struct BurnJob::FileProgress {
    int index = 0;           // 0-based position in the compilation
    int64_t durationMs = 0;  // of the source; 0 when the container does not know it
    const AudioInput* input = nullptr;
};

BurnJob::BurnJob(BurnerLibrary& library, BurnJobParameters parameters)
    : settings_(std::move(parameters.settings)),
      request_(std::move(parameters.request)),
      library_(library),
      startDelay_(parameters.startDelayMs),
      sound_(std::move(parameters.closingSound)),
      sink_(std::move(parameters.resultSink)),
      temporaryFolder_(parameters.temporaryFolder.empty()
                           ? BurnTempFolder()
                           : WithTrailingBackslash(parameters.temporaryFolder)) {}

BurnJob::~BurnJob() { UnregisterCallbacks(); }

std::string BurnJob::TemporaryFileName(const std::string& folder, int index) {
    return WithTrailingBackslash(folder) + FormatTrackNumber(index + 1, 2) + kBurnExtension;
}

void BurnJob::RegisterCallbacks() {
    library_.SetFinalizeEventCallback([this] { OnFinalize(); });
    library_.SetBurnDoneEventCallback([this](const std::string& error) { OnBurnDone(error); });
    library_.SetProcessEventCallback([this](float percent) { OnProcess(percent); });
    library_.SetAudioDecoderEventCallback([] {});
    library_.SetAudioDecodeDoneEventCallback([] {});
    registered_ = true;
}

void BurnJob::UnregisterCallbacks() {
    if (!registered_) return;
    library_.SetProcessEventCallback({});
    library_.SetFinalizeEventCallback({});
    library_.SetBurnDoneEventCallback({});
    library_.SetAudioDecoderEventCallback({});
    library_.SetAudioDecodeDoneEventCallback({});
    registered_ = false;
}

BurnSummary BurnJob::Run(JobReport& report, JobControl& control) {
    report_ = &report;
    control_ = &control;
    RegisterCallbacks();
    if (startDelay_.count() > 0) std::this_thread::sleep_for(startDelay_);
    {
        std::lock_guard lock(mutex_);
        summary_ = BurnSummary();
        summary_.items = PendingItems(request_.sources);
    }
    // The pass's own verdict decides: a cancel that comes after its last file burns as usual.
    if (WithinLimits() && DecodePass()) BurnPass();
    MarkEnded(false, true);
    // The library's callbacks still write into the report until burn-done has come.
    WaitUntilEnded();
    UnregisterCallbacks();
    std::lock_guard lock(mutex_);
    return summary_;
}

int32_t BurnJob::Report(int32_t code) {
    ReportBurnerResult(library_, code, sink_);
    return code;
}

bool BurnJob::WithinLimits() {
    CompilationEstimate estimate;
    estimate.dataCd = request_.dataCd;
    for (int i = 0; i < int(request_.sources.size()); ++i) {
        estimate.discNames.push_back(PathFileName(TemporaryFileName(temporaryFolder_, i)));
        // A file the probe cannot read fails in the decode pass with its own message.
        auto info = ReadMediaInfo(request_.sources[size_t(i)]);
        estimate.durationsMs.push_back(info ? info->durationMs : 0);
    }
    if (!request_.writerText.empty()) Report(library_.SetDevice(request_.writerText));
    MediumInformation medium;
    if (Report(library_.GetMediumInformation(medium)) == 0 && medium.HasMedium() &&
        medium.sizeBytes >= 0)
        estimate.capacitySectors = int64_t(medium.sizeBytes) / kCdDataSectorBytes;
    const std::string broken = BrokenCompilationLimit(estimate);
    if (broken.empty()) return true;
    report_->Log(broken);
    {
        std::lock_guard lock(mutex_);
        summary_.burnError = broken;
    }
    Reconclude(ItemState::kCancelled, ItemState::kFailed, broken);
    if (sound_) sound_(false);
    report_->SetButton("Close", true);
    return false;
}

bool BurnJob::DecodePass() {
    report_->SetItemBar(0);
    report_->SetTotalBar(0);
    itemBar_ = totalBar_ = 0;
    report_->SetBatchLine("Batch Convert = 0 %");
    report_->Log(request_.dataCd ? "Initializing create data CD..."
                                 : "Initializing create Audio CD...");
    // What a burn that never ended (a crash) left goes first; this job's files go at its end.
    RemoveLeftoverBurnTempFiles(temporaryFolder_);
    temporaryHold_ = std::make_unique<BurnTempFolderHold>(temporaryFolder_);
    temporary_.clear();
    const int count = int(request_.sources.size());
    for (int i = 0; i < count && !control_->Cancelled(); ++i) DecodeOne(i);

    report_->SetItemBar(100);
    report_->SetTotalBar(100);
    report_->SetBatchLine("Total Postion : 100 %");
    if (control_->Cancelled()) {
        Reconclude(ItemState::kDone, ItemState::kCancelled, "");
        std::lock_guard lock(mutex_);
        summary_.cancelled = true;
        report_->Log("Cancelled by user");
        report_->SetButton("Close", true);
        return false;
    }
    report_->Log(
        Fill("Done, %s track(s) were successfully.", FormatTrackNumber(summary_.decoded, 2)));
    report_->SetButton(kAbortCaption, false);
    return true;
}

void BurnJob::DecodeOne(int index) {
    const std::string& source = request_.sources[size_t(index)];
    const int count = int(request_.sources.size());
    report_->SetInputLine("Input Audio : " + PathFileName(source));
    MakeDirectoryPath(temporaryFolder_);
    const std::string temporary = TemporaryFileName(temporaryFolder_, index);

    auto input = OpenAudioInput(source, [&] {
        report_->SetButton(kAbortCaption, true);
        report_->SetCounterLine("Encoding : track no. " + FormatTrackNumber(index + 1, 2) + "  / " +
                                FormatTrackNumber(count, 2) + " tracks");
        itemBar_ = 0;
        report_->SetItemBar(0);
        report_->Log("Encoding file: " + temporary);
    });
    if (!input) {
        Conclude(index, ItemState::kFailed, input.message());
        return;
    }

    OutputParameters parameters = TrackOutputParameters(
        temporary, kBurnExtension, OutputFormatByExtension(kBurnExtension)->row,
        EncodeParameters{
            .bitRate = kBurnBitRate, .sampleRate = kBurnSampleRate, .channels = kBurnChannels},
        nullptr);
    parameters.tags = TemporaryFileTags(source, index, settings_.burn.volumeLabel);
    auto output = CreateAudioOutput(parameters);
    if (!output) {
        // A temporary file that cannot be created (a folder that cannot be made or
        // written) fails this file; no older file of that name is burnt in its place.
        Conclude(index, ItemState::kFailed,
                 output.message().empty() ? "Could not open input audio " + source + ", skip."
                                          : output.message());
        CloseAudioInput(*input);
        return;
    }
    if (auto header = WriteOutputHeader(*output); !header) {
        DiscardAudioOutput(*output);
        CloseAudioInput(*input);
        Conclude(index, ItemState::kFailed, header.message());
        return;
    }

    FileProgress progress{index, input->durationMs(), &*input};
    const DecodeResult result = DecodeIntoOutput(
        *input, *output, control_->cancel, [&](int64_t ms) { OnPosition(progress, ms); },
        [&] { report_->Log(source + ": Error while decoding frame, skip."); });

    itemBar_ = 100;
    report_->SetItemBar(100);
    report_->SetPositionLine("Current Postion : 100 %");
    if (result.status == DecodeStatus::kCompleted && AudioWasLost(result, *input)) {
        // A damaged source would be burnt cut short as if it were whole.
        Conclude(index, ItemState::kFailed,
                 source + ": damaged audio, only " + FormatDuration(result.decodedMs) + " of " +
                     FormatDuration(std::max(input->statedMs(), input->durationMs())) +
                     " could be decoded; it is not burnt, skip.");
        DiscardAudioOutput(*output);
    } else if (result.status == DecodeStatus::kCompleted) {
        if (auto closed = CloseAudioOutput(*output); !closed) {
            Conclude(index, ItemState::kFailed, closed.message());
        } else {
            Conclude(index, ItemState::kDone, "");
            ++summary_.decoded;
            temporary_.push_back(temporary);
            if (!request_.dataCd) PadShortTrack(source, temporary);
        }
    } else {
        // A cancelled or failed write is removed; it is never burnt.
        if (result.status == DecodeStatus::kWriteError)
            Conclude(index, ItemState::kFailed, WriteError(*output));
        DiscardAudioOutput(*output);
    }
    CloseAudioInput(*input);
}

void BurnJob::Conclude(int index, ItemState state, const std::string& line) {
    if (!line.empty()) report_->Log(line);
    std::lock_guard lock(mutex_);
    ItemResult& item = summary_.items[size_t(index)];
    item.state = state;
    item.reason = state == ItemState::kDone ? "" : line;
}

void BurnJob::Reconclude(ItemState from, ItemState to, const std::string& reason) {
    std::lock_guard lock(mutex_);
    for (ItemResult& item : summary_.items)
        if (item.state == from) {
            item.state = to;
            item.reason = reason;
        }
}

void BurnJob::PadShortTrack(const std::string& source, const std::string& temporary) {
    const auto layout = ReadWavLayout(temporary);
    if (!layout || layout->dataBytes >= kMinimumTrackBytes) return;
    if (auto padded = PadWavWithSilence(temporary, kMinimumTrackBytes); padded)
        report_->Log(PathFileName(source) +
                     " is shorter than 4 seconds, the shortest track of an Audio CD: "
                     "padded with silence to 4 seconds.");
    else
        report_->Log(padded.message());
}

void BurnJob::OnPosition(FileProgress& file, int64_t ms) {
    const int count = int(request_.sources.size());
    double exact;
    if (file.durationMs > 0)
        exact = double(ms) * 100.0 / double(file.durationMs);
    else if (file.input->readFraction() >= 0)
        exact = file.input->readFraction() * 100.0;
    else
        return;
    exact = std::min(exact, 100.0);
    const int percent = int(exact);
    if (itemBar_ < percent) {
        itemBar_ = percent;
        report_->SetItemBar(percent);
        report_->SetPositionLine(Format("Current Postion : %7.2f ", exact) + "%");
    }
    // The decode pass fills the total bar from 0 to 50.
    const int batch = (100 * file.index + percent) / count;
    const int half = batch / 2;
    if (half > totalBar_) {
        totalBar_ = half;
        report_->SetTotalBar(half);
        report_->SetBatchLine(Format("Batch Encoding = %d ", half) + "%");
    }
}

void BurnJob::BurnPass() {
    const std::string tracks = FormatTrackNumber(int(request_.sources.size()), 2);
    report_->SetButton(kAbortCaption, false);
    report_->SetCounterLine("Burning : " + tracks + " tracks");
    itemBar_ = 0;
    report_->SetItemBar(0);
    report_->SetInputLine("Current Status = 0 %");
    report_->Log("Start burning: " + tracks + " tracks");

    Report(library_.CreateProject(request_.dataCd ? kDataCdProject : kAudioCdProject));
    BurnOptions options;
    Report(library_.GetOptions(options));
    options.volumeLabel = settings_.burn.volumeLabel;
    options.finalize = uint8_t(settings_.burn.finalize ? 1 : 0);
    options.testMode = uint8_t(settings_.burn.testMode ? 1 : 0);
    options.ejectAfterBurn = uint8_t(settings_.burn.ejectAfterBurn ? 1 : 0);
    options.burnFlag = 1;
    Report(library_.SetOptions(options));
    for (const auto& file : temporary_) Report(library_.AddFile({file}));
    if (!request_.writerText.empty()) Report(library_.SetDevice(request_.writerText));
    if (!request_.imagePath.empty()) Report(library_.SetImagePath(request_.imagePath));
    // An image file being written stops at the abort button or Ctrl-C; a disc cannot.
    library_.SetCancelFlag(&control_->cancel);

    report_->Log("Prepare Collection");
    Report(library_.Prepare());
    report_->Log("Start Burning...");
    {
        std::lock_guard lock(mutex_);
        summary_.burnStarted = true;
    }
    Report(library_.Burn());
    report_->SetInputLine(request_.dataCd ? "Data CD Burning... " : "Audio CD Burning... ");
}

void BurnJob::OnProcess(float percent) {
    const double p = std::clamp(double(percent), 0.0, 100.0);
    report_->SetItemBar(int(p));
    report_->SetPositionLine(Format("Current Postion : %7.2f ", p) + "%");
    // The burn fills the total bar from 50 to 100.
    const int total = 50 + int(p / 2);
    report_->SetTotalBar(total);
    report_->SetBatchLine(Format("Total Position = %d ", total) + "%");
}

void BurnJob::OnFinalize() { report_->Log("Finalize CD..."); }

void BurnJob::OnBurnDone(const std::string& error) {
    // A write that failed because it was told to stop was cancelled, not broken.
    const bool cancelled = !error.empty() && control_->Cancelled();
    {
        std::lock_guard lock(mutex_);
        summary_.burnSucceeded = error.empty();
        summary_.burnError = error;
        if (cancelled) summary_.cancelled = true;
    }
    // The files decoded for the burn share its fate.
    if (cancelled)
        Reconclude(ItemState::kDone, ItemState::kCancelled, "");
    else if (!error.empty())
        Reconclude(ItemState::kDone, ItemState::kFailed, error);
    report_->Log(error.empty() ? "Burn Done!"
                 : cancelled   ? "Cancelled by user"
                               : "Burn Done With Errors");
    if (error.empty()) LogImageFiles();
    if (sound_) sound_(error.empty());
    report_->SetButton("Close", true);
    MarkEnded(true, false);
}

void BurnJob::LogImageFiles() {
    // A test run writes nothing: files of that name are an earlier image's.
    if (request_.imagePath.empty() || settings_.burn.testMode) return;
    std::vector<std::string> files{request_.imagePath};
    if (!request_.dataCd) {
        const CueImagePaths paths = CueImagePathsFor(request_.imagePath);
        files = {paths.cue, paths.bin, paths.cdText};
    }
    std::error_code ec;
    for (const auto& file : files)
        if (std::filesystem::exists(file, ec)) report_->Log("Image file written: " + file);
}

void BurnJob::MarkEnded(bool burnDone, bool workerDone) {
    std::lock_guard lock(mutex_);
    if (burnDone) burnDone_ = true;
    if (workerDone) {
        workerDone_ = true;
        // A decode pass that burns nothing ends the job by itself.
        if (!summary_.burnStarted) burnDone_ = true;
    }
    if (burnDone_ && workerDone_) {
        // However the job ended, its temporary audio goes: the writer has read it.
        RemoveBurnTempFiles(temporary_);
        temporaryHold_.reset();
        control_->busy.store(false);
        endedChanged_.notify_all();
    }
}

bool BurnJob::Ended() const {
    std::lock_guard lock(mutex_);
    return burnDone_ && workerDone_;
}

void BurnJob::WaitUntilEnded() {
    std::unique_lock lock(mutex_);
    endedChanged_.wait(lock, [this] { return burnDone_ && workerDone_; });
}

}  // namespace quelt
