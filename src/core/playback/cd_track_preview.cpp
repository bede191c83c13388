#include "core/playback/cd_track_preview.h"

#include "core/jobs/component_error.h"
#include "core/rip/cd_grabber.h"

namespace quelt {
namespace {

constexpr int kChunkBlocks = 26;

}  // namespace

CdTrackPreview::CdTrackPreview(CdGrabber& grabber, CdPlayer& player)
    : grabber_(grabber), player_(player) {}

CdTrackPreview::~CdTrackPreview() {
    try {
        Stop();
    } catch (const ComponentError&) {
        // The drive went away under a playing preview: there is nothing left to close.
    }
}

void CdTrackPreview::Start(int32_t startBlock) {
    Stop();
    grabber_.ReadSwitchA(0);
    grabber_.ReadSwitchB(0);
    grabber_.ReadSwitchC(0);
    grabber_.OpenTrack();
    started_ = true;
    failed_ = false;
    try {
        lengthBlocks_ = grabber_.TrackSizeA() * grabber_.TrackSizeB() / 4;
        if (startBlock > 0) grabber_.SeekTrack(startBlock);
        player_.SetListener(this);
        player_.StartPlay(startBlock);
    } catch (const ComponentError&) {
        started_ = false;
        player_.StopPlay();
        grabber_.CloseTrack();
        throw;
    }
}

void CdTrackPreview::Seek(int32_t block) {
    if (!started_) return;
    player_.StopPlay();  // the player's thread is not reading any more
    failed_ = false;
    grabber_.SeekTrack(block);
    player_.StartPlay(block);
}

void CdTrackPreview::Stop() {
    if (!started_) return;
    started_ = false;
    player_.StopPlay();
    player_.SetListener(nullptr);
    grabber_.CloseTrack();
}

void CdTrackPreview::OnQueueNeeded() {
    if (failed_) return;
    try {
        const int32_t read = grabber_.ReadBlocks(kChunkBlocks, chunk_);
        if (read <= 0) chunk_.clear();
        player_.QueueBlocks(chunk_);  // nothing: the track has no more blocks
    } catch (const ComponentError& error) {
        failed_ = true;
        if (listener_) listener_->OnReadError(error.what());
    }
}

void CdTrackPreview::OnPosition(int32_t block) {
    if (listener_) listener_->OnPosition(block);
}

void CdTrackPreview::OnEnd() {
    if (listener_) listener_->OnEnd();
}

}  // namespace quelt
