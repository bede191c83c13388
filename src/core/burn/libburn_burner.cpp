#include "core/burn/libburn_burner.h"

#include <utility>
#include <filesystem>
#include <system_error>

#include "core/burn/disc_eraser.h"
#include "core/burn/disc_writer.h"
#include "core/burn/libburn_runtime.h"
#include "core/burn/wav_file.h"

namespace quelt {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStdioPrefix = "stdio:";
constexpr int kMaxAudioTracks = 99;

const char* GenericText(int32_t code) {
    switch (code) {
        case kBurnerOk:
            return "No error";
        case kBurnerNotInitialized:
            return "The burning library is not initialized";
        case kBurnerBadProjectType:
            return "Unknown project type";
        case kBurnerUnknownDevice:
            return "Unknown writer";
        case kBurnerNoDevice:
            return "No writer is chosen";
        case kBurnerFileUnusable:
            return "A file cannot be burnt";
        case kBurnerNothingToBurn:
            return "The project holds no files";
        case kBurnerNotPrepared:
            return "The project was not prepared";
        case kBurnerBusy:
            return "A burn is already running";
        case kBurnerNoMedium:
            return "No disc in the writer";
        case kBurnerMediumNotWritable:
            return "The disc in the writer is not writable";
        case kBurnerNoImagePath:
            return "No image file was given to the image file writer";
        case kBurnerWriteFailed:
            return "The write failed";
        case kBurnerDriveFailed:
            return "The writer failed";
        case kBurnerNotErasable:
            return "The disc cannot be erased";
        case kBurnerTooLarge:
            return "The project does not fit on the disc";
        case kBurnerAudioNeedsCd:
            return "An Audio CD needs a CD writer or the image file writer";
        default:
            return "Unknown error";
    }
}

// Medium state of libburn as the interface's disc state; -1 for no usable medium.
int32_t DiscStateOf(burn::burn_disc_status status) {
    switch (status) {
        case burn::BURN_DISC_BLANK:
            return kDiscEmpty;
        case burn::BURN_DISC_APPENDABLE:
            return kDiscIncomplete;
        case burn::BURN_DISC_FULL:
            return kDiscComplete;
        default:
            return -1;
    }
}

void FillMedium(burn::burn_drive* drive, MediumInformation& info) {
    const int32_t state = DiscStateOf(burn::burn_disc_get_status(drive));
    if (state < 0) return;
    int profile = 0;
    char name[80] = {};
    burn::burn_disc_get_profile(drive, &profile, name);
    info.typeText = std::string(name).substr(0, 27);
    if (info.typeText.empty()) info.typeText = "Unknown medium";
    info.discState = state;
    double size = double(burn::burn_disc_available_space(drive, nullptr));
    int capacity = 0;
    if (state == kDiscComplete && burn::burn_get_read_capacity(drive, &capacity, 0) > 0)
        size = double(capacity) * kCdDataSectorBytes;
    info.sizeBytes = size;
}

}  // namespace

LibburnBurner::LibburnBurner() = default;

LibburnBurner::~LibburnBurner() {
    WaitForBurn();
    std::unique_lock lock(mutex_);
    JoinFinishedBurn(lock);
}

int32_t LibburnBurner::Fail(int32_t code, const std::string& detail) {
    details_[code] = detail.empty() ? GenericText(code) : detail;
    return code;
}

int32_t LibburnBurner::Initialize() {
    std::lock_guard lock(mutex_);
    if (!LibburnRuntime::Instance().ok()) return Fail(kBurnerNotInitialized, "");
    LibburnRuntime::Instance().Writers();
    initialized_ = true;
    return kBurnerOk;
}

int32_t LibburnBurner::CreateProject(int32_t type) {
    std::lock_guard lock(mutex_);
    if (type != kAudioCdProject && type != kDataCdProject)
        return Fail(kBurnerBadProjectType, "Unknown project type " + std::to_string(type));
    projectType_ = type;
    files_.clear();
    Unprepare();
    return kBurnerOk;
}

int32_t LibburnBurner::GetOptions(BurnOptions& options) {
    std::lock_guard lock(mutex_);
    options.volumeLabel = options_.volumeLabel;
    options.burnFlag = 1;
    options.finalize = options_.finalize ? 1 : 0;
    options.testMode = options_.testMode ? 1 : 0;
    options.ejectAfterBurn = options_.eject ? 1 : 0;
    return kBurnerOk;
}

int32_t LibburnBurner::SetOptions(BurnOptions options) {
    std::lock_guard lock(mutex_);
    // Fields left at their "not defined" presets keep the library's values.
    if (options.volumeLabel != kNotDefinedText)
        options_.volumeLabel = options.volumeLabel.substr(0, 127);
    if (options.finalize != kNotDefinedFlag) options_.finalize = options.finalize != 0;
    if (options.testMode != kNotDefinedFlag) options_.testMode = options.testMode != 0;
    if (options.ejectAfterBurn != kNotDefinedFlag) options_.eject = options.ejectAfterBurn != 0;
    Unprepare();
    return kBurnerOk;
}

std::vector<LibburnBurner::Writer> LibburnBurner::Writers() const {
    std::vector<Writer> writers;
    const auto& scanned = LibburnRuntime::Instance().Writers();
    // The image file writer takes the table's last place.
    for (size_t i = 0; i < scanned.size() && i + 1 < size_t(DeviceTable::kCapacity); ++i)
        writers.push_back({WriterKind::kDrive, scanned[i].displayText, scanned[i].address, i});
    writers.push_back({WriterKind::kImage, kImageWriterText, "", 0});
    return writers;
}

int32_t LibburnBurner::GetDevices(DeviceTable& table, int32_t& count) {
    std::lock_guard lock(mutex_);
    table.texts.clear();
    count = 0;
    if (!initialized_) return Fail(kBurnerNotInitialized, "");
    for (const auto& writer : Writers()) table.texts.push_back(writer.text);
    count = int32_t(table.texts.size());
    return kBurnerOk;
}

int32_t LibburnBurner::SetDevice(const std::string& deviceText) {
    std::lock_guard lock(mutex_);
    if (!initialized_) return Fail(kBurnerNotInitialized, "");
    Unprepare();
    if (deviceText.rfind(kStdioPrefix, 0) == 0 && deviceText.size() > 6) {
        std::error_code ec;
        const std::string path = fs::absolute(deviceText.substr(6), ec).string();
        writer_ = {WriterKind::kStdio, "[" + std::string(kStdioPrefix) + path + "]", path, 0};
        return kBurnerOk;
    }
    for (const auto& writer : Writers())
        if (writer.text == deviceText ||
            (!writer.address.empty() && writer.address == deviceText)) {
            writer_ = writer;
            return kBurnerOk;
        }
    return Fail(kBurnerUnknownDevice, "Unknown writer \"" + deviceText + "\"");
}

int32_t LibburnBurner::GetMediumInformation(MediumInformation& info) {
    std::unique_lock lock(mutex_);
    const Writer writer = writer_;
    if (writer.kind == WriterKind::kNone) return Fail(kBurnerNoDevice, "");
    if (burning_) return Fail(kBurnerBusy, "");
    if (writer.kind == WriterKind::kImage) {
        info.typeText = kImageMediumType;
        info.discState = kDiscEmpty;
        info.sizeBytes = double(kImageDiscSectors) * kCdDataSectorBytes;
        return kBurnerOk;
    }
    lock.unlock();
    const auto& scanned = LibburnRuntime::Instance().Writers();
    std::unique_ptr<GrabbedDrive> grabbed =
        writer.kind == WriterKind::kStdio
            ? std::make_unique<GrabbedDrive>(std::string(kStdioPrefix) + writer.address)
            : std::make_unique<GrabbedDrive>(scanned.at(writer.scannedIndex), false);
    lock.lock();
    if (!grabbed->drive()) return Fail(kBurnerDriveFailed, grabbed->error());
    FillMedium(grabbed->drive(), info);
    return info.HasMedium() ? kBurnerOk : Fail(kBurnerNoMedium, "");
}

int32_t LibburnBurner::AddFile(AddFileEntry entry) {
    std::lock_guard lock(mutex_);
    std::error_code ec;
    if (!fs::is_regular_file(entry.sourcePath, ec))
        return Fail(kBurnerFileUnusable, "Cannot find the file " + entry.sourcePath);
    files_.push_back(entry.sourcePath);
    Unprepare();
    return kBurnerOk;
}

int32_t LibburnBurner::Prepare() {
    std::lock_guard lock(mutex_);
    Plan plan;
    plan.writer = writer_;
    plan.projectType = projectType_;
    plan.options = options_;
    plan.imagePath = imagePath_;
    auto refuse = [&](int32_t code, const std::string& detail) {
        plan.errorCode = Fail(code, detail);
        plan.error = details_[code];
        plan_ = plan;
        prepared_ = true;
        return code;
    };
    if (!initialized_) return refuse(kBurnerNotInitialized, "");
    if (writer_.kind == WriterKind::kNone) return refuse(kBurnerNoDevice, "");
    if (files_.empty()) return refuse(kBurnerNothingToBurn, "");
    if (writer_.kind == WriterKind::kImage && imagePath_.empty())
        return refuse(kBurnerNoImagePath, "");
    int64_t sectors = 0;
    if (projectType_ == kAudioCdProject) {
        if (writer_.kind == WriterKind::kStdio)
            return refuse(kBurnerAudioNeedsCd,
                          "A file as writer takes only data CDs; an Audio CD "
                          "needs a CD writer or the image file writer");
        if (files_.size() > size_t(kMaxAudioTracks))
            return refuse(kBurnerTooLarge, "An Audio CD holds at most 99 tracks");
        for (const auto& path : files_) {
            auto layout = ReadWavLayout(path);
            if (!layout) return refuse(kBurnerFileUnusable, layout.message());
            if (!layout->IsCdAudio())
                return refuse(kBurnerFileUnusable, "Not 16-bit stereo PCM at 44100 Hz: " + path);
            plan.audio.push_back({path, *layout});
            sectors += AudioSectors(layout->dataBytes);
        }
    } else {
        std::vector<std::string> names;
        for (const auto& path : files_) {
            const std::string name = fs::path(path).filename().string();
            for (const auto& other : names)
                if (other == name)
                    return refuse(kBurnerFileUnusable, "Two files are named " + name);
            names.push_back(name);
            std::error_code ec;
            const auto bytes = fs::file_size(path, ec);
            if (ec) return refuse(kBurnerFileUnusable, "Cannot read " + path);
            sectors += int64_t((bytes + kCdDataSectorBytes - 1) / kCdDataSectorBytes);
            plan.dataFiles.push_back(path);
        }
    }
    if (writer_.kind == WriterKind::kImage && sectors > kImageDiscSectors)
        return refuse(kBurnerTooLarge, "The project needs " + std::to_string(sectors) +
                                           " sectors; the disc holds " +
                                           std::to_string(kImageDiscSectors));
    plan_ = plan;
    prepared_ = true;
    return kBurnerOk;
}

void LibburnBurner::JoinFinishedBurn(std::unique_lock<std::mutex>& lock) {
    if (burnThread_.joinable() && !burning_) burnThread_.join();
}

int32_t LibburnBurner::Burn() {
    std::unique_lock lock(mutex_);
    if (burning_) {
        const BurnDoneCallback done = onBurnDone_;
        const int32_t code = Fail(kBurnerBusy, "");
        const std::string text = details_[code];
        lock.unlock();
        if (done) done(text);
        return code;
    }
    JoinFinishedBurn(lock);
    Plan plan = plan_;
    if (!prepared_) {
        plan = Plan();
        plan.errorCode = Fail(kBurnerNotPrepared, "");
        plan.error = details_[kBurnerNotPrepared];
    }
    plan.cancel = cancel_;
    burning_ = true;
    try {
        burnThread_ = std::thread([this, plan] { RunBurn(plan); });
    } catch (const std::system_error&) {
        // No thread to write with: the burn ends at once, still with its one burn-done.
        burning_ = false;
        const BurnDoneCallback done = onBurnDone_;
        const int32_t code = Fail(kBurnerWriteFailed, "The burn could not be started");
        const std::string text = details_[code];
        lock.unlock();
        burnEnded_.notify_all();
        if (done) done(text);
        return code;
    }
    return plan.errorCode;
}

void LibburnBurner::RunBurn(const Plan& plan) {
    BurnProcessCallback process;
    BurnDoneCallback done;
    BurnFinalizeCallback finalize;
    {
        std::lock_guard lock(mutex_);
        process = onProcess_;
        done = onBurnDone_;
        finalize = onFinalize_;
    }
    std::string error = plan.error;
    bool finalized = false;
    if (error.empty()) error = WritePlan(plan, process, finalized, finalize);
    if (error.empty() && plan.options.finalize && !finalized && finalize) finalize();
    if (done) done(error);
    {
        std::lock_guard lock(mutex_);
        if (!error.empty() && plan.errorCode == kBurnerOk) Fail(kBurnerWriteFailed, error);
        burning_ = false;
    }
    burnEnded_.notify_all();
}

std::string LibburnBurner::WritePlan(const Plan& plan, const BurnProcessCallback& process,
                                     bool& finalized, const BurnFinalizeCallback& finalize) {
    // Percentages only ever rise, whatever the writer reports.
    double last = -1;
    const WriteProgress progress = [&](double percent) {
        if (percent > last && process) process(float(last = percent));
    };
    const bool data = plan.projectType == kDataCdProject;
    std::unique_ptr<IsoImageStream> iso;
    if (data) {
        std::vector<IsoEntry> entries;
        for (const auto& path : plan.dataFiles)
            entries.push_back({path, fs::path(path).filename().string()});
        auto created = IsoImageStream::Create(plan.options.volumeLabel, entries);
        if (!created) return created.message();
        iso = std::move(*created);
    }
    if (plan.writer.kind == WriterKind::kImage)
        return data ? WriteIsoImage(plan.imagePath, *iso, plan.options.testMode, progress,
                                    plan.cancel)
                    : WriteCueBinImage(plan.imagePath, plan.audio, plan.options.testMode, progress,
                                       plan.cancel);

    std::unique_ptr<GrabbedDrive> grabbed;
    if (plan.writer.kind == WriterKind::kStdio) {
        // libburn writes over a file without shortening it: a longer old file would keep
        // its tail behind the new image. A simulation leaves the file as it is.
        std::error_code ec;
        if (!plan.options.testMode && fs::is_regular_file(plan.writer.address, ec) &&
            !fs::remove(plan.writer.address, ec))
            return "Cannot replace " + plan.writer.address + " (" + ec.message() + ")";
        grabbed = std::make_unique<GrabbedDrive>(std::string(kStdioPrefix) + plan.writer.address);
    } else {
        grabbed = std::make_unique<GrabbedDrive>(
            LibburnRuntime::Instance().Writers().at(plan.writer.scannedIndex), true);
    }
    if (!grabbed->drive()) return grabbed->error();
    const auto status = burn::burn_disc_get_status(grabbed->drive());
    if (status != burn::BURN_DISC_BLANK && status != burn::BURN_DISC_APPENDABLE)
        return status == burn::BURN_DISC_EMPTY ? GenericText(kBurnerNoMedium)
                                               : GenericText(kBurnerMediumNotWritable);
    if (plan.options.eject && plan.writer.kind == WriterKind::kDrive) grabbed->EjectOnRelease();
    DiscWrite job;
    job.drive = grabbed->drive();
    job.audio = plan.audio;
    job.data = iso.get();
    job.simulate = plan.options.testMode;
    job.finalize = plan.options.finalize;
    job.closeWhenOpenImpossible = plan.writer.kind == WriterKind::kStdio;
    return WriteToDisc(job, progress, [&] {
        finalized = true;
        if (finalize) finalize();
    });
}

void LibburnBurner::WaitForBurn() {
    std::unique_lock lock(mutex_);
    burnEnded_.wait(lock, [this] { return !burning_; });
}

int32_t LibburnBurner::EjectDevice() {
    std::unique_lock lock(mutex_);
    const Writer writer = writer_;
    if (writer.kind == WriterKind::kNone) return Fail(kBurnerNoDevice, "");
    if (writer.kind != WriterKind::kDrive) return kBurnerOk;  // nothing to open
    if (burning_) return Fail(kBurnerBusy, "");
    lock.unlock();
    GrabbedDrive grabbed(LibburnRuntime::Instance().Writers().at(writer.scannedIndex), false);
    lock.lock();
    if (!grabbed.drive()) return Fail(kBurnerDriveFailed, grabbed.error());
    grabbed.EjectOnRelease();
    return kBurnerOk;
}

int32_t LibburnBurner::CloseDevice() {
    std::unique_lock lock(mutex_);
    const Writer writer = writer_;
    if (writer.kind == WriterKind::kNone) return Fail(kBurnerNoDevice, "");
    if (writer.kind != WriterKind::kDrive) return kBurnerOk;
    if (burning_) return Fail(kBurnerBusy, "");
    lock.unlock();
    // Grabbing with loading closes the tray.
    GrabbedDrive grabbed(LibburnRuntime::Instance().Writers().at(writer.scannedIndex), true);
    lock.lock();
    return grabbed.drive() ? kBurnerOk : Fail(kBurnerDriveFailed, grabbed.error());
}

std::pair<int32_t, std::string> LibburnBurner::EraseVerdict(const Writer& writer) {
    switch (writer.kind) {
        case WriterKind::kNone:
            return {kBurnerNoDevice, GenericText(kBurnerNoDevice)};
        case WriterKind::kImage:
            return {kBurnerNotErasable, "The image file writer has no disc to erase"};
        case WriterKind::kStdio: {
            const std::string refusal = FileEraseRefusal(writer.address);
            return {refusal.empty() ? kBurnerOk : kBurnerNotErasable, refusal};
        }
        case WriterKind::kDrive:
            break;
    }
    GrabbedDrive grabbed(LibburnRuntime::Instance().Writers().at(writer.scannedIndex), false);
    if (!grabbed.drive()) return {kBurnerDriveFailed, grabbed.error()};
    const std::string refusal = WriterEraseRefusal(grabbed.drive());
    if (refusal.empty()) return {kBurnerOk, ""};
    return {burn::burn_disc_get_status(grabbed.drive()) == burn::BURN_DISC_EMPTY
                ? kBurnerNoMedium
                : kBurnerNotErasable,
            refusal};
}

int32_t LibburnBurner::CheckErasable() {
    std::unique_lock lock(mutex_);
    const Writer writer = writer_;
    if (burning_) return Fail(kBurnerBusy, "");
    lock.unlock();
    const auto [code, detail] = EraseVerdict(writer);
    lock.lock();
    return code == kBurnerOk ? kBurnerOk : Fail(code, detail);
}

int32_t LibburnBurner::Erase(bool fast, const BurnProcessCallback& progress) {
    std::unique_lock lock(mutex_);
    const Writer writer = writer_;
    if (burning_) return Fail(kBurnerBusy, "");
    // The writer is busy for burns and medium questions until the blanking ends.
    burning_ = true;
    lock.unlock();
    auto [code, error] = EraseVerdict(writer);
    if (code == kBurnerOk) {
        const auto percent = [&](double p) {
            if (progress) progress(float(p));
        };
        if (writer.kind == WriterKind::kStdio) {
            error = BlankFile(writer.address, fast, percent);
        } else {
            GrabbedDrive grabbed(LibburnRuntime::Instance().Writers().at(writer.scannedIndex),
                                 true);
            error = grabbed.drive() ? BlankMedium(grabbed.drive(), fast, percent) : grabbed.error();
        }
        if (!error.empty()) code = kBurnerDriveFailed;
    }
    lock.lock();
    burning_ = false;
    burnEnded_.notify_all();
    return code == kBurnerOk ? kBurnerOk : Fail(code, error);
}

int32_t LibburnBurner::GetText(int32_t code, std::string& text) {
    std::lock_guard lock(mutex_);
    auto found = details_.find(code);
    text = found != details_.end() ? found->second : GenericText(code);
    return kBurnerOk;
}

int32_t LibburnBurner::SetImagePath(const std::string& path) {
    std::lock_guard lock(mutex_);
    imagePath_ = path;
    Unprepare();
    return kBurnerOk;
}

void LibburnBurner::SetCancelFlag(const std::atomic<bool>* cancel) {
    std::lock_guard lock(mutex_);
    cancel_ = cancel;
}

void LibburnBurner::SetProcessEventCallback(BurnProcessCallback callback) {
    std::lock_guard lock(mutex_);
    onProcess_ = std::move(callback);
}
void LibburnBurner::SetBurnDoneEventCallback(BurnDoneCallback callback) {
    std::lock_guard lock(mutex_);
    onBurnDone_ = std::move(callback);
}
void LibburnBurner::SetFinalizeEventCallback(BurnFinalizeCallback callback) {
    std::lock_guard lock(mutex_);
    onFinalize_ = std::move(callback);
}
void LibburnBurner::SetAudioDecoderEventCallback(BurnAudioDecoderCallback callback) {
    std::lock_guard lock(mutex_);
    onAudioDecoder_ = std::move(callback);
}
void LibburnBurner::SetAudioDecodeDoneEventCallback(BurnAudioDecoderCallback callback) {
    std::lock_guard lock(mutex_);
    onAudioDecodeDone_ = std::move(callback);
}

}  // namespace quelt
