// A test-only decorator of a real BurnerLibrary: it records the calls it forwards, can
// report a medium that the machine cannot offer (a closed disc in a writer) and can hold
// back the burn-done event until the test releases it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/burn/burner_library.h"

namespace quelt::test {

class RecordingBurner : public BurnerLibrary {
  public:
    explicit RecordingBurner(BurnerLibrary& inner) : inner_(inner) {}

    std::optional<MediumInformation> fakeMedium;  // reported instead of the real medium
    bool holdBurnDone = false;                    // keep burn-done until ReleaseBurnDone()
    std::optional<int32_t> fakeDeviceCount;       // the count GetDevices reports instead

    std::vector<std::string> Calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::vector<std::string> AddedFiles() const {
        std::lock_guard lock(mutex_);
        return added_;
    }
    bool Called(const std::string& name) const {
        for (const auto& call : Calls())
            if (call == name) return true;
        return false;
    }
    // Waits until burn-done is being held back, then lets it through.
    void ReleaseBurnDone() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return held_.has_value(); });
        const std::string text = *held_;
        held_.reset();
        lock.unlock();
        if (done_) done_(text);
    }
    bool BurnDoneHeld() const {
        std::lock_guard lock(mutex_);
        return held_.has_value();
    }

    int32_t Initialize() override { return Record("Initialize", inner_.Initialize()); }
    int32_t CreateProject(int32_t type) override {
        return Record("CreateProject " + std::to_string(type), inner_.CreateProject(type));
    }
    int32_t GetOptions(BurnOptions& o) override {
        return Record("GetOptions", inner_.GetOptions(o));
    }
    int32_t SetOptions(BurnOptions o) override {
        {
            std::lock_guard lock(mutex_);
            lastOptions = o;
        }
        return Record("SetOptions", inner_.SetOptions(o));
    }
    int32_t GetDevices(DeviceTable& t, int32_t& c) override {
        const int32_t result = Record("GetDevices", inner_.GetDevices(t, c));
        if (fakeDeviceCount) c = *fakeDeviceCount;
        return result;
    }
    int32_t SetDevice(const std::string& text) override {
        return Record("SetDevice " + text, inner_.SetDevice(text));
    }
    int32_t GetMediumInformation(MediumInformation& info) override {
        if (fakeMedium) {
            info = *fakeMedium;
            return Record("GetMediumInformation", 0);
        }
        return Record("GetMediumInformation", inner_.GetMediumInformation(info));
    }
    int32_t AddFile(AddFileEntry entry) override {
        {
            std::lock_guard lock(mutex_);
            added_.push_back(entry.sourcePath);
        }
        return Record("AddFile", inner_.AddFile(entry));
    }
    int32_t Prepare() override { return Record("Prepare", inner_.Prepare()); }
    int32_t Burn() override { return Record("Burn", inner_.Burn()); }
    int32_t EjectDevice() override { return Record("EjectDevice", inner_.EjectDevice()); }
    int32_t CloseDevice() override { return Record("CloseDevice", inner_.CloseDevice()); }
    int32_t CheckErasable() override { return Record("CheckErasable", inner_.CheckErasable()); }
    int32_t Erase(bool fast, const BurnProcessCallback& progress) override {
        return Record("Erase", inner_.Erase(fast, progress));
    }
    int32_t GetText(int32_t code, std::string& text) override { return inner_.GetText(code, text); }
    int32_t SetImagePath(const std::string& p) override {
        return Record("SetImagePath", inner_.SetImagePath(p));
    }
    void SetProcessEventCallback(BurnProcessCallback c) override {
        inner_.SetProcessEventCallback(c);
    }
    void SetFinalizeEventCallback(BurnFinalizeCallback c) override {
        inner_.SetFinalizeEventCallback(c);
    }
    void SetAudioDecoderEventCallback(BurnAudioDecoderCallback c) override {
        inner_.SetAudioDecoderEventCallback(c);
    }
    void SetAudioDecodeDoneEventCallback(BurnAudioDecoderCallback c) override {
        inner_.SetAudioDecodeDoneEventCallback(c);
    }
    void SetBurnDoneEventCallback(BurnDoneCallback c) override {
        done_ = c;
        if (!c) {
            inner_.SetBurnDoneEventCallback({});
            return;
        }
        inner_.SetBurnDoneEventCallback([this](const std::string& text) {
            if (!holdBurnDone) {
                if (done_) done_(text);
                return;
            }
            std::lock_guard lock(mutex_);
            held_ = text;
            changed_.notify_all();
        });
    }

    BurnOptions lastOptions;

  private:
    int32_t Record(const std::string& call, int32_t result) {
        std::lock_guard lock(mutex_);
        calls_.push_back(call);
        return result;
    }

    BurnerLibrary& inner_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> calls_, added_;
    BurnDoneCallback done_;
    std::optional<std::string> held_;
};

}  // namespace quelt::test
