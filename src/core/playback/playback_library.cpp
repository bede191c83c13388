// The playback library on SDL2: each stream decodes on a thread of its own into a ring of
// device-format PCM (44100 Hz, stereo, 16-bit); SDL's audio thread mixes the playing rings.
#include "core/playback/playback_library.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/playback/sdl_library.h"
#include "core/transcode/pipeline.h"

namespace quelt {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr size_t kRingFrames = kRate;  // one second decoded ahead
constexpr auto kUnderrunWait = std::chrono::milliseconds(1000);

// One stream: a decoder thread (a file) or a feeding caller (a push stream) writes into the
// ring, the audio callback reads from it.
class StreamState {
  public:
    StreamState(std::string path, double lengthSeconds, bool push)
        : path_(std::move(path)), length_(lengthSeconds), push_(push) {
        ring_.resize(kRingFrames * kChannels);
    }
    ~StreamState() { StopDecoder(); }

    bool push() const { return push_; }
    double length() const { return length_; }
    double position() const { return static_cast<double>(played_.load()) / kRate; }
    bool playing() const { return playing_.load() && !ended_.load(); }
    bool ended() const { return ended_.load(); }
    void SetPlaying(bool on) {
        playing_.store(on);
        data_.notify_all();
    }
    double gain() const { return gain_.load(); }
    void SetGain(double gain) { gain_.store(gain); }
    size_t queued() {
        std::lock_guard<std::mutex> lock(mutex_);
        return filled_;
    }

    // Starts decoding `skip` frames into the file (`input` when already open, else the
    // file is opened on the decoder thread); what was queued is dropped.
    void StartDecoder(std::optional<AudioInput> input, int64_t skip = 0) {
        StopDecoder();
        Restart(skip);
        decoder_ = std::thread([this, in = std::move(input), skip]() mutable {
            Decode(std::move(in), skip);
        });
    }

    // Drops what is queued and counts the position from `frames` (a push stream's seek).
    void Restart(int64_t frames) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            readAt_ = writeAt_ = filled_ = 0;
            decoded_ = false;
            played_.store(frames);
            ended_.store(false);
        }
        stop_.store(false);
    }

    // Waits until the ring is full or the whole file is in it, so that playing starts
    // without a gap.
    void WaitPrimed() {
        std::unique_lock<std::mutex> lock(mutex_);
        primed_.wait(lock, [this] { return decoded_ || filled_ == kRingFrames; });
    }

    void StopDecoder() {
        Abort();
        if (decoder_.joinable()) decoder_.join();
    }

    // Ends every Write that waits for room (the stream is being freed).
    void Abort() {
        stop_.store(true);
        space_.notify_all();
        data_.notify_all();
    }

    // Copies `frames` frames into the ring, waiting for room; false when stopped meanwhile.
    bool Write(const int16_t* pcm, size_t frames) {
        while (frames > 0) {
            std::unique_lock<std::mutex> lock(mutex_);
            space_.wait(lock, [this] { return stop_.load() || filled_ < kRingFrames; });
            if (stop_.load()) return false;
            size_t put = std::min(frames, kRingFrames - filled_);
            for (size_t i = 0; i < put; ++i) {
                size_t at = ((writeAt_ + i) % kRingFrames) * kChannels;
                for (int c = 0; c < kChannels; ++c) ring_[at + c] = pcm[i * kChannels + c];
            }
            writeAt_ = (writeAt_ + put) % kRingFrames;
            filled_ += put;
            data_.notify_all();
            if (filled_ == kRingFrames) primed_.notify_all();
            pcm += put * kChannels;
            frames -= put;
        }
        return true;
    }

    // No more data comes: the stream ends once the ring has been played.
    void Finish() {
        std::lock_guard<std::mutex> lock(mutex_);
        decoded_ = true;
        data_.notify_all();
        if (filled_ == 0 && playing_.load()) ended_.store(true);
        primed_.notify_all();
    }

    // Audio thread: adds up to `frames` frames into `mix`. A playing stream that runs dry
    // before its end waits a moment for its decoder or feeder instead of leaving a gap: a
    // real device would play that gap as an underrun either way, and a device without
    // pacing (SDL's disk driver) then gets every sample in order. Marks the end when the
    // stream has no more data and the ring is empty.
    void MixInto(int32_t* mix, size_t frames, double gain) {
        if (!playing_.load() || ended_.load()) return;
        std::unique_lock<std::mutex> lock(mutex_);
        const auto deadline = std::chrono::steady_clock::now() + kUnderrunWait;
        size_t done = 0;
        for (;;) {
            size_t take = std::min(frames - done, filled_);
            for (size_t i = 0; i < take; ++i) {
                size_t at = ((readAt_ + i) % kRingFrames) * kChannels;
                for (int c = 0; c < kChannels; ++c)
                    mix[(done + i) * kChannels + c] += static_cast<int32_t>(ring_[at + c] * gain);
            }
            readAt_ = (readAt_ + take) % kRingFrames;
            filled_ -= take;
            done += take;
            played_.fetch_add(static_cast<int64_t>(take));
            if (take > 0) space_.notify_one();
            if (done == frames || decoded_) break;
            const bool more = data_.wait_until(lock, deadline, [this] {
                return filled_ > 0 || decoded_ || stop_.load() || !playing_.load();
            });
            if (!more || filled_ == 0) break;
        }
        if (decoded_ && filled_ == 0) ended_.store(true);
    }

  private:
    void Decode(std::optional<AudioInput> input, int64_t skip) {
        if (!input) {
            auto opened = OpenAudioInput(path_);
            if (opened) input.emplace(std::move(*opened));
        }
        if (input) {
            // A seek decodes from the start and drops what lies before the target: exact to
            // the sample in every format, and fast enough for previews.
            DecodeToPcm(*input, kRate, kChannels, stop_, [this, &skip](const int16_t* pcm, size_t frames) {
                if (skip > 0) {
                    size_t drop = std::min(frames, static_cast<size_t>(skip));
                    skip -= static_cast<int64_t>(drop);
                    pcm += drop * kChannels;
                    frames -= drop;
                }
                return Write(pcm, frames);
            });
        }
        Finish();
    }

    std::string path_;
    double length_;
    bool push_;
    std::vector<int16_t> ring_;
    std::mutex mutex_;
    std::condition_variable space_;
    std::condition_variable primed_;
    std::condition_variable data_;
    size_t readAt_ = 0, writeAt_ = 0, filled_ = 0;  // in frames
    bool decoded_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> playing_{false};
    std::atomic<bool> ended_{false};
    std::atomic<int64_t> played_{0};
    std::atomic<double> gain_{1.0};
    std::thread decoder_;
};

// ALSA prints its own errors on standard error when a machine has no sound card; a missing
// device must say nothing. SDL loads libasound itself, so it is silenced through dlopen
// (the handle is kept, so the setting holds for SDL's copy too). No-op without ALSA.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
    static std::once_flag once;
    std::call_once(once, [] {
        void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL);
        if (!alsa) return;
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
            set(IgnoreAlsaError);
    });
}

class SdlPlaybackLibrary : public PlaybackLibrary {
  public:
    ~SdlPlaybackLibrary() override {
        std::map<Stream, std::shared_ptr<StreamState>> streams;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            LockDevice();
            streams.swap(streams_);
            UnlockDevice();
        }
        streams.clear();
        if (device_) {
            sdl_->CloseAudioDevice(device_);
            sdl_->QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

    bool Init() override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (device_) return true;
        sdl_ = Sdl();
        if (!sdl_) return false;
        QuietAlsa();
        if (sdl_->InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{};
        want.freq = kRate;
        want.format = AUDIO_S16SYS;
        want.channels = kChannels;
        want.samples = 1024;
        want.callback = &SdlPlaybackLibrary::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = sdl_->OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device_) {
            sdl_->QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        sdl_->PauseAudioDevice(device_, 0);
        return true;
    }

    Stream StreamCreateFile(const std::string& path) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!device_) return 0;
        }
        auto input = OpenAudioInput(path);
        if (!input) return 0;
        auto state =
            std::make_shared<StreamState>(path, static_cast<double>(input->durationMs()) / 1000.0, false);
        state->StartDecoder(std::move(*input));
        state->WaitPrimed();
        return Add(std::move(state));
    }

    Stream StreamCreatePush() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!device_) return 0;
        }
        return Add(std::make_shared<StreamState>(std::string(), 0.0, true));
    }

    bool StreamPutData(Stream stream, const int16_t* pcm, size_t frames) override {
        auto state = Find(stream);
        return state && state->push() && state->Write(pcm, frames);
    }

    void StreamEndData(Stream stream) override {
        auto state = Find(stream);
        if (state && state->push()) state->Finish();
    }

    size_t StreamQueuedFrames(Stream stream) override {
        auto state = Find(stream);
        return state ? state->queued() : 0;
    }

    bool ChannelPlay(Stream stream, bool restart) override {
        auto state = Find(stream);
        if (!state) return false;
        if (!state->push() && (restart || state->ended())) {
            state->SetPlaying(false);
            state->StartDecoder(std::nullopt);
            state->WaitPrimed();
        }
        state->SetPlaying(true);
        return true;
    }

    bool ChannelStop(Stream stream) override {
        auto state = Find(stream);
        if (!state) return false;
        state->SetPlaying(false);
        return true;
    }

    bool ChannelIsPlaying(Stream stream) override {
        auto state = Find(stream);
        return state && state->playing();
    }

    double ChannelLengthSeconds(Stream stream) override {
        auto state = Find(stream);
        return state ? state->length() : -1;
    }

    double ChannelPositionSeconds(Stream stream) override {
        auto state = Find(stream);
        return state ? state->position() : -1;
    }

    bool ChannelSetPosition(Stream stream, double seconds) override {
        auto state = Find(stream);
        if (!state) return false;
        const int64_t frames = std::llround(std::max(0.0, seconds) * kRate);
        if (state->push())
            state->Restart(frames);
        else
            state->StartDecoder(std::nullopt, frames);
        return true;
    }

    bool ChannelSetVolume(Stream stream, double volume) override {
        auto state = Find(stream);
        if (!state) return false;
        state->SetGain(std::clamp(volume, 0.0, 1.0));
        return true;
    }

    void StreamFree(Stream stream) override {
        std::shared_ptr<StreamState> state = Find(stream);
        if (!state) return;
        state->Abort();  // a mix waiting for its data, or a feeder waiting for room, returns
        {
            std::lock_guard<std::mutex> lock(mutex_);
            LockDevice();
            streams_.erase(stream);
            UnlockDevice();
        }
        state.reset();  // joins its decoder outside the locks
    }

    void SetVolume(double volume) override { volume_.store(std::clamp(volume, 0.0, 1.0)); }
    double Volume() const override { return volume_.load(); }

  private:
    Stream Add(std::shared_ptr<StreamState> state) {
        std::lock_guard<std::mutex> lock(mutex_);
        Stream handle = next_++;
        if (next_ == 0) next_ = 1;
        LockDevice();
        streams_[handle] = std::move(state);
        UnlockDevice();
        return handle;
    }

    std::shared_ptr<StreamState> Find(Stream stream) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = streams_.find(stream);
        return it == streams_.end() ? nullptr : it->second;
    }

    // Keeps SDL's audio thread out of the stream map (no device, no thread).
    void LockDevice() {
        if (device_) sdl_->LockAudioDevice(device_);
    }
    void UnlockDevice() {
        if (device_) sdl_->UnlockAudioDevice(device_);
    }

    // SDL's audio thread, with the device lock held: the map does not change meanwhile.
    static void Callback(void* user, Uint8* out, int bytes) {
        auto* self = static_cast<SdlPlaybackLibrary*>(user);
        size_t frames = static_cast<size_t>(bytes) / (kChannels * sizeof(int16_t));
        self->mix_.assign(frames * kChannels, 0);
        double gain = self->volume_.load();
        for (auto& [handle, state] : self->streams_)
            state->MixInto(self->mix_.data(), frames, gain * state->gain());
        auto* pcm = reinterpret_cast<int16_t*>(out);
        for (size_t i = 0; i < frames * kChannels; ++i)
            pcm[i] = static_cast<int16_t>(std::clamp(self->mix_[i], -32768, 32767));
    }

    std::mutex mutex_;
    const SdlLibrary* sdl_ = nullptr;  // set by Init
    SDL_AudioDeviceID device_ = 0;
    std::map<Stream, std::shared_ptr<StreamState>> streams_;
    Stream next_ = 1;
    std::atomic<double> volume_{1.0};
    std::vector<int32_t> mix_;  // audio thread only
};

}  // namespace

std::unique_ptr<PlaybackLibrary> CreatePlaybackLibrary() {
    return std::make_unique<SdlPlaybackLibrary>();
}

PlaybackLibrary& SharedPlaybackLibrary() {
    // Owned for the life of the process: its destructor closes the audio device at exit.
    static const std::unique_ptr<PlaybackLibrary> shared = CreatePlaybackLibrary();
    return *shared;
}

}  // namespace quelt
