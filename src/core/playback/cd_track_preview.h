// A preview of one CD track: the grabber's selected track is read in chunks of 26 blocks on
// the CD player's thread and played by the player. The GUI's preview player and
// `quelt-cli play --drive` drive it the same way.
//
// Threading: Start, Seek and Stop come from one controlling thread; between Start and Stop
// the grabber belongs to the player's thread, so the caller makes no other grabber call.
// The listener's events come on the player's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/playback/cd_player.h"

namespace quelt {

class CdGrabber;

class CdTrackPreviewListener {
  public:
    virtual ~CdTrackPreviewListener() = default;
    virtual void OnPosition(int32_t block) { (void)block; }  // blocks from the track's start
    virtual void OnEnd() {}                                  // the whole track was played
    virtual void OnReadError(const std::string& message) { (void)message; }
};

class CdTrackPreview : private CdPlayerListener {
  public:
    // Both must outlive the preview.
    CdTrackPreview(CdGrabber& grabber, CdPlayer& player);
    ~CdTrackPreview() override;

    void SetListener(CdTrackPreviewListener* listener) { listener_ = listener; }

    // Opens the grabber's selected track with every read switch at 0 and plays it from
    // `startBlock`. Throws ComponentError (the track is closed again then).
    void Start(int32_t startBlock = 0);
    // Plays on from `block` blocks into the track.
    void Seek(int32_t block);
    // Stops playing and closes the track; nothing when not started. Throws ComponentError
    // when the grabber fails to close it.
    void Stop();

    bool started() const { return started_; }
    // The track's length in blocks (TrackSizeA x TrackSizeB / 4), read by Start.
    int32_t lengthBlocks() const { return lengthBlocks_; }
    CdPlayer& player() { return player_; }

  private:
    void OnQueueNeeded() override;
    void OnPosition(int32_t block) override;
    void OnEnd() override;

    CdGrabber& grabber_;
    CdPlayer& player_;
    CdTrackPreviewListener* listener_ = nullptr;
    std::vector<uint8_t> chunk_;  // the player's thread only
    std::atomic<bool> failed_{false};
    bool started_ = false;
    int32_t lengthBlocks_ = 0;
};

}  // namespace quelt
