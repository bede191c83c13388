// The CD player: plays CD audio blocks (2352-byte sectors of 44100 Hz stereo 16-bit PCM)
// that its caller queues, on the playback library's output. It asks for blocks, reports the
// play position and the end through events.
//
// Threading: StartPlay starts a thread of the player's own that raises every event; the
// listener reads and queues the next chunk on that thread (so a slow drive never holds up
// the caller). StopPlay, StartPlay, Volume and PlayerSwitch are called from one controlling
// thread; StopPlay must not be called from inside an event (it waits for that thread).
//
// Errors: StartPlay throws ComponentError when the sound device cannot be opened.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace quelt {

class PlaybackLibrary;

class CdPlayerListener {
  public:
    virtual ~CdPlayerListener() = default;
    // Fewer than two chunks are queued (at the start, and after each chunk played): queue the next
    // one (or call QueueBlocks with nothing when the track has no more blocks).
    virtual void OnQueueNeeded() {}
    // The play position in blocks from the start of the track.
    virtual void OnPosition(int32_t block) { (void)block; }
    // Every queued block has been played after the last one was announced.
    virtual void OnEnd() {}
};

class CdPlayer {
  public:
    virtual ~CdPlayer() = default;

    // The listener must outlive the player or be reset while the player is stopped.
    virtual void SetListener(CdPlayerListener* listener) = 0;

    // Starts playing what is queued and what follows, counting the position from
    // `startBlock` (a preview that starts in the middle of a track).
    virtual void StartPlay(int32_t startBlock = 0) = 0;
    // Stops, drops what is queued and waits for the player's thread to end.
    virtual void StopPlay() = 0;
    // Adds PCM blocks as ReadBlocks returned them; an empty array says the track has no
    // more blocks, and the end event follows once the queue has been played.
    virtual void QueueBlocks(const std::vector<uint8_t>& blocks) = 0;
    // The time of a position in blocks, in milliseconds (75 blocks a second).
    virtual int32_t PositionToTime(int32_t block) const = 0;

    // 0 (silent) to 65535 (the recorded level); 65535 when created.
    virtual int32_t Volume() const = 0;
    virtual void SetVolume(int32_t volume) = 0;
    // 1 holds the playing track where it is (pause), 0 lets it go on.
    virtual void SetPlayerSwitch(int32_t on) = 0;
};

// The gain of a volume of 0..65535: the square of the fraction, so the lower half of a
// slider is not all loud; 65535 is exactly the recorded level (gain 1.0).
double SliderGain(int32_t volume);

// The player on `library` (which must outlive it). The library is initialised by StartPlay.
std::unique_ptr<CdPlayer> CreateCdPlayer(PlaybackLibrary& library);

}  // namespace quelt
