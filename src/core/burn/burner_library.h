// The burning library: every disc write goes through this interface. Each operation
// returns a 32-bit result, 0 for success and otherwise an error code whose text GetText
// gives. The records keep the "not defined" presets of the library's calling convention:
// a field still holding its preset when handed back to the library leaves the library's
// own value unchanged.
//
// Threading: operations are called from one thread at a time (the page's or the job's).
// Burn() returns once the write has started; the process, finalize and burn-done
// callbacks then arrive on a thread of the library's own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quelt {

inline constexpr const char* kNotDefinedText = "BS_NDEF";
inline constexpr uint8_t kNotDefinedFlag = 0xFF;

// Project types of CreateProject.
enum BurnProjectType : int32_t { kAudioCdProject = 0, kDataCdProject = 2 };

// Medium states of MediumInformation::discState.
enum DiscState : int32_t { kDiscEmpty = 0, kDiscIncomplete = 1, kDiscComplete = 2 };

struct BurnOptions {
    std::string volumeLabel = kNotDefinedText;  // at most 127 bytes
    int32_t reserved128 = -1;
    uint8_t burnFlag = kNotDefinedFlag;  // set to 1 before every burn
    uint8_t reserved133 = kNotDefinedFlag;
    std::string reservedText134 = kNotDefinedText;
    uint8_t finalize = kNotDefinedFlag;  // 1: close the disc
    uint8_t testMode = kNotDefinedFlag;  // 1: simulate, write nothing
    uint8_t reserved396 = kNotDefinedFlag;
    uint8_t reserved397 = kNotDefinedFlag;
    int32_t reserved400 = -1;
    uint8_t reserved404 = kNotDefinedFlag;
    uint8_t ejectAfterBurn = kNotDefinedFlag;  // 1: open the tray when done
    int32_t reserved408 = -1;
};

struct MediumInformation {
    std::string typeText = kNotDefinedText;  // shown as is ("CD-R", "CD-RW", ...)
    int32_t discState = -1;                  // DiscState
    double reserved32 = -1.0;
    double sizeBytes = -1.0;  // shown beside the state
    double reserved48 = -1.0;
    int32_t reserved56 = -1;
    int32_t reserved60 = -1;
    int32_t reserved64 = -1;
    int16_t reserved68 = -1;

    // A type text still at its preset means no medium.
    bool HasMedium() const { return typeText != kNotDefinedText; }
};

// The writers' display texts, in the library's stable order.
struct DeviceTable {
    static constexpr int kCapacity = 26;
    std::vector<std::string> texts;
};

struct AddFileEntry {
    std::string sourcePath;
    std::string destinationFolder = "/";  // always the disc root
    int32_t reserved8 = 0;
    uint8_t reserved12 = 0;
    int32_t reserved16 = 0;
};

// percent of the write, 0 to 100, rising.
using BurnProcessCallback = std::function<void(float percent)>;
// Empty text on success, the library's error text otherwise. Exactly once per Burn().
using BurnDoneCallback = std::function<void(const std::string& errorText)>;
using BurnFinalizeCallback = std::function<void()>;
using BurnAudioDecoderCallback = std::function<void()>;

class BurnerLibrary {
  public:
    virtual ~BurnerLibrary() = default;

    virtual int32_t Initialize() = 0;
    // Starts an empty project of `type` (BurnProjectType); files added before are dropped.
    virtual int32_t CreateProject(int32_t type) = 0;
    virtual int32_t GetOptions(BurnOptions& options) = 0;
    virtual int32_t SetOptions(BurnOptions options) = 0;
    virtual int32_t GetDevices(DeviceTable& table, int32_t& count) = 0;
    // Chooses the writer by its whole display text; "stdio:PATH" chooses a file as a
    // pseudo-drive for data projects.
    virtual int32_t SetDevice(const std::string& deviceText) = 0;
    virtual int32_t GetMediumInformation(MediumInformation& info) = 0;
    virtual int32_t AddFile(AddFileEntry entry) = 0;
    // Checks and lays out the project's files for the chosen writer.
    virtual int32_t Prepare() = 0;
    // Starts writing the prepared project. Whatever it returns, burn-done follows once.
    virtual int32_t Burn() = 0;
    virtual int32_t EjectDevice() = 0;
    virtual int32_t CloseDevice() = 0;
    // 0 when the medium of the chosen writer can be blanked; otherwise the code whose text
    // says why (the image file writer, no disc, a disc that is not rewritable or already
    // blank). Meant to be asked before the user is warned about losing data.
    virtual int32_t CheckErasable() = 0;
    // Blanks the medium of the chosen writer, fast (the table of contents only) or full,
    // and returns when it is done; `progress` gets rising percentages on the calling
    // thread. The caller has asked the user. A blanking cannot be stopped once started.
    virtual int32_t Erase(bool fast, const BurnProcessCallback& progress) = 0;
    virtual int32_t GetText(int32_t code, std::string& text) = 0;
    // The file the image writer writes (".cue" for an Audio CD, ".iso" for a data CD).
    virtual int32_t SetImagePath(const std::string& path) = 0;
    // A flag the burn watches: a write to an image file stops when it rises and removes what
    // it wrote (a disc in a writer is always written to the end). Null for none.
    virtual void SetCancelFlag(const std::atomic<bool>* cancel) {}

    virtual void SetProcessEventCallback(BurnProcessCallback callback) = 0;
    virtual void SetBurnDoneEventCallback(BurnDoneCallback callback) = 0;
    virtual void SetFinalizeEventCallback(BurnFinalizeCallback callback) = 0;
    virtual void SetAudioDecoderEventCallback(BurnAudioDecoderCallback callback) = 0;
    virtual void SetAudioDecodeDoneEventCallback(BurnAudioDecoderCallback callback) = 0;
};

// Where ReportBurnerResult sends its texts; may be empty.
using BurnerResultSink = std::function<void(const std::string& text)>;

// Turns a non-zero result into "error: <text>" through GetText and hands it to `sink`.
// Returns that text, or "" for 0. A failure never stops the caller's sequence.
std::string ReportBurnerResult(BurnerLibrary& library, int32_t code,
                               const BurnerResultSink& sink = {});

}  // namespace quelt
