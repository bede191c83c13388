// Encodes one ripped track on a thread of its own, so that the reader can go on to the next
// track while this one is still being encoded. The reader hands over blocks of 44100 Hz
// stereo 16-bit PCM in order; a bounded queue keeps memory flat when the encoder is slower
// than the drive (Push then waits).
//
// Threads. Every member is called by the one reading thread; the encoding happens on the
// encoder's own thread, which touches nothing but its AudioOutput.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/transcode/pipeline.h"

namespace quelt {

class TrackEncoder {
public:
    // Starts encoding into `output` (header already written).
    explicit TrackEncoder(AudioOutput output);
    // Abandons an unfinished track (its output is discarded) and joins the thread.
    ~TrackEncoder();
    TrackEncoder(const TrackEncoder&) = delete;
    TrackEncoder& operator=(const TrackEncoder&) = delete;

    // Queues one block; waits while the queue is full. False once encoding has failed
    // (the rest of the track is then not worth reading).
    bool Push(std::vector<uint8_t> block);
    // No more blocks: the encoder closes the output when the queue is empty.
    void Finish();
    // No more blocks and the output is not wanted: it is discarded.
    void Abandon();

    // True once the encoder thread has ended (after Finish or Abandon, or a failure).
    bool Ended() const;
    // Waits for the end: success when the output was closed completely under its final
    // name (or abandoned, which leaves nothing to say); otherwise the write or encode error.
    Expected<void> Wait();

  private:
    void Encode();

    AudioOutput output_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> queue_;
    bool finished_ = false;
    bool abandoned_ = false;
    bool failed_ = false;
    bool ended_ = false;
    Expected<void> result_;
    std::thread thread_;
};

}  // namespace quelt
