#include "core/rip/track_encoder.h"

namespace quelt {
namespace {

// About three seconds of audio per round of 50 sectors; 16 rounds bound the queue at
// under 2 MiB per track in flight.
constexpr std::size_t kQueuedBlocks = 16;

}  // namespace

TrackEncoder::TrackEncoder(AudioOutput output) : output_(std::move(output)) {
    thread_ = std::thread([this] { Encode(); });
}

TrackEncoder::~TrackEncoder() {
    Abandon();
    if (thread_.joinable()) thread_.join();
}

bool TrackEncoder::Push(std::vector<uint8_t> block) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return queue_.size() < kQueuedBlocks || failed_ || ended_; });
    if (failed_ || ended_) return false;
    queue_.push_back(std::move(block));
    changed_.notify_all();
    return true;
}

void TrackEncoder::Finish() {
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

void TrackEncoder::Abandon() {
    std::lock_guard lock(mutex_);
    // A track whose every block was handed over is closed as it stands.
    if (!finished_) abandoned_ = true;
    changed_.notify_all();
}

bool TrackEncoder::Ended() const {
    std::lock_guard lock(mutex_);
    return ended_;
}

Expected<void> TrackEncoder::Wait() {
    if (thread_.joinable()) thread_.join();
    return result_;
}

void TrackEncoder::Encode() {
    for (;;) {
        std::vector<uint8_t> block;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return !queue_.empty() || finished_ || abandoned_; });
            if (abandoned_) break;
            if (queue_.empty()) break;  // finished and drained
            block = std::move(queue_.front());
            queue_.pop_front();
            changed_.notify_all();
        }
        const BlockStatus status = EncodePcmBlock(output_, reinterpret_cast<const int16_t*>(block.data()),
                                                  block.size(), 44100, 2, EncodeVariant::kRip);
        if (status != BlockStatus::kOk) {
            std::lock_guard lock(mutex_);
            failed_ = true;
            result_ = Failure{WriteError(output_)};
            break;
        }
    }
    bool close;
    {
        std::lock_guard lock(mutex_);
        close = !failed_ && !abandoned_;
    }
    if (close) {
        result_ = CloseAudioOutput(output_);
    } else {
        DiscardAudioOutput(output_);
    }
    std::lock_guard lock(mutex_);
    queue_.clear();
    ended_ = true;
    changed_.notify_all();
}

}  // namespace quelt
