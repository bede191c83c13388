// The playback library on SDL2: each stream decodes on a thread of its own into a ring of
// device-format PCM (44100 Hz, stereo, 16-bit); SDL's audio thread mixes the playing rings.
#include "core/playback/playback_library.h"

#include <SDL.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "core/transcode/pipeline.h"

namespace quelt {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr size_t kRingFrames = kRate;  // one second decoded ahead

// One stream: a decoder thread writes into the ring, the audio callback reads from it.
class StreamState {
  public:
    StreamState(std::string path, double lengthSeconds)
        : path_(std::move(path)), length_(lengthSeconds) {
        ring_.resize(kRingFrames * kChannels);
    }
    ~StreamState() { StopDecoder(); }

    double length() const { return length_; }
    double position() const { return static_cast<double>(played_.load()) / kRate; }
    bool playing() const { return playing_.load() && !ended_.load(); }
    bool ended() const { return ended_.load(); }
    void SetPlaying(bool on) { playing_.store(on); }

    // Starts decoding from the start of the file (`input` when already open).
    void StartDecoder(std::optional<AudioInput> input) {
        StopDecoder();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            readAt_ = writeAt_ = filled_ = 0;
            decoded_ = false;
        }
        played_.store(0);
        ended_.store(false);
        stop_.store(false);
        decoder_ = std::thread([this, in = std::move(input)]() mutable { Decode(std::move(in)); });
    }

    // Waits until the ring is full or the whole file is in it, so that playing starts
    // without a gap.
    void WaitPrimed() {
        std::unique_lock<std::mutex> lock(mutex_);
        primed_.wait(lock, [this] { return decoded_ || filled_ == kRingFrames; });
    }

    void StopDecoder() {
        stop_.store(true);
        space_.notify_all();
        if (decoder_.joinable()) decoder_.join();
    }

    // Audio thread: adds up to `frames` frames into `mix`. Marks the end when the file is
    // decoded and the ring is empty.
    void MixInto(int32_t* mix, size_t frames, double gain) {
        if (!playing_.load() || ended_.load()) return;
        std::unique_lock<std::mutex> lock(mutex_);
        size_t take = std::min(frames, filled_);
        for (size_t i = 0; i < take; ++i) {
            size_t at = ((readAt_ + i) % kRingFrames) * kChannels;
            for (int c = 0; c < kChannels; ++c)
                mix[i * kChannels + c] += static_cast<int32_t>(ring_[at + c] * gain);
        }
        readAt_ = (readAt_ + take) % kRingFrames;
        filled_ -= take;
        bool finished = decoded_ && filled_ == 0;
        lock.unlock();
        played_.fetch_add(static_cast<int64_t>(take));
        if (finished) ended_.store(true);
        space_.notify_one();
    }

  private:
    void Decode(std::optional<AudioInput> input) {
        if (!input) {
            auto opened = OpenAudioInput(path_);
            if (opened) input.emplace(std::move(*opened));
        }
        if (input) {
            DecodeToPcm(*input, kRate, kChannels, stop_, [this](const int16_t* pcm, size_t frames) {
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
                    if (filled_ == kRingFrames) primed_.notify_all();
                    pcm += put * kChannels;
                    frames -= put;
                }
                return true;
            });
        }
        std::lock_guard<std::mutex> lock(mutex_);
        decoded_ = true;
        primed_.notify_all();
    }

    std::string path_;
    double length_;
    std::vector<int16_t> ring_;
    std::mutex mutex_;
    std::condition_variable space_;
    std::condition_variable primed_;
    size_t readAt_ = 0, writeAt_ = 0, filled_ = 0;  // in frames
    bool decoded_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> playing_{false};
    std::atomic<bool> ended_{false};
    std::atomic<int64_t> played_{0};
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
            if (device_) SDL_LockAudioDevice(device_);
            streams.swap(streams_);
            if (device_) SDL_UnlockAudioDevice(device_);
        }
        streams.clear();
        if (device_) {
            SDL_CloseAudioDevice(device_);
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    }

    bool Init() override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (device_) return true;
        QuietAlsa();
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        SDL_AudioSpec want{};
        want.freq = kRate;
        want.format = AUDIO_S16SYS;
        want.channels = kChannels;
        want.samples = 1024;
        want.callback = &SdlPlaybackLibrary::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device_) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        SDL_PauseAudioDevice(device_, 0);
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
            std::make_shared<StreamState>(path, static_cast<double>(input->durationMs()) / 1000.0);
        state->StartDecoder(std::move(*input));
        state->WaitPrimed();
        std::lock_guard<std::mutex> lock(mutex_);
        Stream handle = next_++;
        if (next_ == 0) next_ = 1;
        SDL_LockAudioDevice(device_);
        streams_[handle] = std::move(state);
        SDL_UnlockAudioDevice(device_);
        return handle;
    }

    bool ChannelPlay(Stream stream, bool restart) override {
        auto state = Find(stream);
        if (!state) return false;
        if (restart || state->ended()) {
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

    void StreamFree(Stream stream) override {
        std::shared_ptr<StreamState> state;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            auto it = streams_.find(stream);
            if (it == streams_.end()) return;
            SDL_LockAudioDevice(device_);
            state = std::move(it->second);
            streams_.erase(it);
            SDL_UnlockAudioDevice(device_);
        }
        state.reset();  // joins its decoder outside the locks
    }

    void SetVolume(double volume) override { volume_.store(std::clamp(volume, 0.0, 1.0)); }
    double Volume() const override { return volume_.load(); }

  private:
    std::shared_ptr<StreamState> Find(Stream stream) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = streams_.find(stream);
        return it == streams_.end() ? nullptr : it->second;
    }

    // SDL's audio thread, with the device lock held: the map does not change meanwhile.
    static void Callback(void* user, Uint8* out, int bytes) {
        auto* self = static_cast<SdlPlaybackLibrary*>(user);
        size_t frames = static_cast<size_t>(bytes) / (kChannels * sizeof(int16_t));
        self->mix_.assign(frames * kChannels, 0);
        double gain = self->volume_.load();
        for (auto& [handle, state] : self->streams_)
            state->MixInto(self->mix_.data(), frames, gain);
        auto* pcm = reinterpret_cast<int16_t*>(out);
        for (size_t i = 0; i < frames * kChannels; ++i)
            pcm[i] = static_cast<int16_t>(std::clamp(self->mix_[i], -32768, 32767));
    }

    std::mutex mutex_;
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
