// The BurnerLibrary of this program: the machine's CD writers through libburn (data CDs
// as ISO 9660 + Joliet images built by libisofs), "stdio:PATH" files as pseudo-drives for
// data CDs, and the image file writer, listed last, which writes an Audio CD as BIN/CUE
// and a data CD as an ISO file.
//
// Threading: the operations are meant for one thread at a time; they are also safe
// against the library's own burn thread. Burn() starts that thread, which calls the
// process, finalize and burn-done callbacks; burn-done comes exactly once per Burn() call.
// The destructor waits for a running burn to end.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "core/burn/burner_library.h"
#include "core/burn/image_writer.h"

namespace quelt {

// Result codes of LibburnBurner; GetText gives their texts.
enum BurnerResult : int32_t {
    kBurnerOk = 0,
    kBurnerNotInitialized = 1,
    kBurnerBadProjectType,
    kBurnerUnknownDevice,
    kBurnerNoDevice,
    kBurnerFileUnusable,
    kBurnerNothingToBurn,
    kBurnerNotPrepared,
    kBurnerBusy,
    kBurnerNoMedium,
    kBurnerMediumNotWritable,
    kBurnerNoImagePath,
    kBurnerWriteFailed,
    kBurnerDriveFailed,
    kBurnerNotErasable,
    kBurnerTooLarge,
    kBurnerAudioNeedsCd,
};

inline constexpr const char* kImageWriterText = "Image file writer (CUE/BIN)";
inline constexpr const char* kImageMediumType = "CD-R";

class LibburnBurner final : public BurnerLibrary {
  public:
    LibburnBurner();
    ~LibburnBurner() override;

    int32_t Initialize() override;
    int32_t CreateProject(int32_t type) override;
    int32_t GetOptions(BurnOptions& options) override;
    int32_t SetOptions(BurnOptions options) override;
    int32_t GetDevices(DeviceTable& table, int32_t& count) override;
    int32_t SetDevice(const std::string& deviceText) override;
    int32_t GetMediumInformation(MediumInformation& info) override;
    int32_t AddFile(AddFileEntry entry) override;
    int32_t Prepare() override;
    int32_t Burn() override;
    int32_t EjectDevice() override;
    int32_t CloseDevice() override;
    int32_t CheckErasable() override;
    int32_t Erase(bool fast, const BurnProcessCallback& progress) override;
    int32_t GetText(int32_t code, std::string& text) override;
    int32_t SetImagePath(const std::string& path) override;
    void SetCancelFlag(const std::atomic<bool>* cancel) override;

    void SetProcessEventCallback(BurnProcessCallback callback) override;
    void SetBurnDoneEventCallback(BurnDoneCallback callback) override;
    void SetFinalizeEventCallback(BurnFinalizeCallback callback) override;
    void SetAudioDecoderEventCallback(BurnAudioDecoderCallback callback) override;
    void SetAudioDecodeDoneEventCallback(BurnAudioDecoderCallback callback) override;

    // Blocks until no burn of this library is running.
    void WaitForBurn();

  private:
    enum class WriterKind { kNone, kDrive, kStdio, kImage };
    struct Writer {
        WriterKind kind = WriterKind::kNone;
        std::string text;
        std::string address;  // device path, or the file of a pseudo-drive
        size_t scannedIndex = 0;
    };
    struct Options {
        std::string volumeLabel = "Audio CD";
        bool finalize = true;
        bool testMode = false;
        bool eject = false;
    };
    // What Prepare checked and Burn writes.
    struct Plan {
        Writer writer;
        int32_t projectType = kAudioCdProject;
        Options options;
        std::string imagePath;
        const std::atomic<bool>* cancel = nullptr;  // see SetCancelFlag
        std::vector<AudioTrackFile> audio;
        std::vector<std::string> dataFiles;
        int32_t errorCode = kBurnerOk;  // set when the plan cannot be burnt
        std::string error;
    };

    int32_t Fail(int32_t code, const std::string& detail);
    std::vector<Writer> Writers() const;
    void Unprepare() { prepared_ = false; }
    void RunBurn(const Plan& plan);
    std::string WritePlan(const Plan& plan, const BurnProcessCallback& process, bool& finalized,
                          const BurnFinalizeCallback& finalize);
    void JoinFinishedBurn(std::unique_lock<std::mutex>& lock);
    // CheckErasable's verdict with the mutex not held: 0, or a code with its detail.
    std::pair<int32_t, std::string> EraseVerdict(const Writer& writer);

    mutable std::mutex mutex_;
    std::condition_variable burnEnded_;
    bool initialized_ = false;
    int32_t projectType_ = kAudioCdProject;
    std::vector<std::string> files_;
    Options options_;
    Writer writer_;
    std::string imagePath_;
    const std::atomic<bool>* cancel_ = nullptr;
    Plan plan_;
    bool prepared_ = false;
    std::map<int32_t, std::string> details_;

    BurnProcessCallback onProcess_;
    BurnDoneCallback onBurnDone_;
    BurnFinalizeCallback onFinalize_;
    BurnAudioDecoderCallback onAudioDecoder_, onAudioDecodeDone_;

    std::thread burnThread_;
    bool burning_ = false;
};

}  // namespace quelt
