// The CD player as a push stream of the playback library, with one thread that watches the
// queue, asks for chunks and reports the position.
#include "core/playback/cd_player.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/jobs/component_error.h"
#include "core/playback/playback_library.h"

namespace quelt {
namespace {

constexpr int kBlockFrames = 588;     // one CD sector of stereo frames
constexpr int kBlocksPerSecond = 75;
constexpr int kChunkBlocks = 26;      // what a listener queues at a time
constexpr auto kTick = std::chrono::milliseconds(20);
constexpr int kTicksPerPosition = 5;  // a position event about every 100 ms

class LibraryCdPlayer final : public CdPlayer {
  public:
    explicit LibraryCdPlayer(PlaybackLibrary& library) : library_(library) {}
    ~LibraryCdPlayer() override { StopPlay(); }

    void SetListener(CdPlayerListener* listener) override { listener_ = listener; }

    void StartPlay(int32_t startBlock) override {
        StopPlay();
        if (!library_.Init()) throw ComponentError("No sound device can be opened.");
        const PlaybackLibrary::Stream stream = library_.StreamCreatePush();
        if (!stream) throw ComponentError("The sound device refused a stream.");
        library_.ChannelSetPosition(stream, static_cast<double>(startBlock) / kBlocksPerSecond);
        library_.ChannelSetVolume(stream, Gain(volume_.load()));
        if (!paused_.load()) library_.ChannelPlay(stream);
        stream_.store(stream);
        lastQueued_.store(false);
        {
            std::lock_guard lock(mutex_);
            stop_ = false;
        }
        thread_ = std::thread([this, stream] { Run(stream); });
    }

    void StopPlay() override {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        // Freeing the stream first ends a QueueBlocks that waits for room on the thread.
        if (const PlaybackLibrary::Stream stream = stream_.exchange(0)) library_.StreamFree(stream);
        if (thread_.joinable()) thread_.join();
    }

    void QueueBlocks(const std::vector<uint8_t>& blocks) override {
        const PlaybackLibrary::Stream stream = stream_.load();
        if (!stream) return;
        queueCalls_.fetch_add(1);
        if (blocks.empty()) {
            lastQueued_.store(true);
            library_.StreamEndData(stream);
            return;
        }
        library_.StreamPutData(stream, reinterpret_cast<const int16_t*>(blocks.data()),
                               blocks.size() / (2 * sizeof(int16_t)));
    }

    int32_t PositionToTime(int32_t block) const override {
        return static_cast<int32_t>(static_cast<int64_t>(block) * 1000 / kBlocksPerSecond);
    }

    int32_t Volume() const override { return volume_.load(); }

    void SetVolume(int32_t volume) override {
        volume_.store(std::clamp(volume, 0, 65535));
        if (const PlaybackLibrary::Stream stream = stream_.load())
            library_.ChannelSetVolume(stream, Gain(volume_.load()));
    }

    void SetPlayerSwitch(int32_t on) override {
        const PlaybackLibrary::Stream stream = stream_.load();
        if (on) {
            paused_.store(true);
            if (stream) library_.ChannelStop(stream);
        } else {
            if (stream) library_.ChannelPlay(stream);
            paused_.store(false);
        }
    }

  private:
    static double Gain(int32_t volume) { return SliderGain(volume); }

    int32_t PlayedBlocks(PlaybackLibrary::Stream stream) {
        const double seconds = std::max(0.0, library_.ChannelPositionSeconds(stream));
        return static_cast<int32_t>(std::llround(seconds * 44100) / kBlockFrames);
    }

    void Run(PlaybackLibrary::Stream stream) {
        bool ended = false;
        for (int tick = 0;; ++tick) {
            bool queuedMore = false;
            if (!ended && !lastQueued_.load() &&
                library_.StreamQueuedFrames(stream) < 2 * kChunkBlocks * kBlockFrames &&
                listener_) {
                const uint64_t before = queueCalls_.load();
                listener_->OnQueueNeeded();
                queuedMore = queueCalls_.load() != before;
            }
            if (!queuedMore && !ended && lastQueued_.load() &&
                library_.StreamQueuedFrames(stream) == 0 && !library_.ChannelIsPlaying(stream)) {
                ended = true;
                if (listener_) {
                    listener_->OnPosition(PlayedBlocks(stream));
                    listener_->OnEnd();
                }
            } else if (!queuedMore && !ended && tick % kTicksPerPosition == 0 && listener_) {
                listener_->OnPosition(PlayedBlocks(stream));
            }
            std::unique_lock lock(mutex_);
            if (stop_) return;
            // After a chunk went in, look again at once: the first two go in back to back.
            if (!queuedMore && wake_.wait_for(lock, kTick, [this] { return stop_; })) return;
        }
    }

    PlaybackLibrary& library_;
    CdPlayerListener* listener_ = nullptr;
    std::atomic<PlaybackLibrary::Stream> stream_{0};
    std::atomic<bool> lastQueued_{false};
    std::atomic<uint64_t> queueCalls_{0};
    std::atomic<bool> paused_{false};
    std::atomic<int32_t> volume_{65535};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace

double SliderGain(int32_t volume) {
    const double fraction = std::clamp(volume, 0, 65535) / 65535.0;
    return fraction * fraction;
}

std::unique_ptr<CdPlayer> CreateCdPlayer(PlaybackLibrary& library) {
    return std::make_unique<LibraryCdPlayer>(library);
}

}  // namespace quelt
