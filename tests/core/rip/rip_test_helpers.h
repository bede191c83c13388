// Helpers shared by the rip tests: a grabber of disc images only, reading a whole track
// through it and waiting for the outcome of a FreeDB look-up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"

namespace quelt::test {

// A grabber that lists only the images added to it: no drive, no demo disc, no media watch.
// `simulatedReadFaults` asks the library to fake a shaky drive.
inline std::unique_ptr<CdGrabber> ImageGrabber(int simulatedReadFaults = 0) {
    CdGrabberOptions options;
    options.listDevices = false;
    options.demoImage = "/nonexistent/demo.cue";
    options.watchMedia = false;
    options.simulatedReadFaults = simulatedReadFaults;
    return CreateCdGrabber(options);
}

// The track's samples as the rip reads them, or, with `verify` off, as a plain read gives them.
inline std::vector<int16_t> ReadWholeTrack(CdGrabber& grabber, int session, int track,
                                           bool verify = true) {
    grabber.SelectSession(session);
    grabber.SelectTrack(track);
    grabber.ReadSwitchA(verify ? 0 : 1);
    grabber.ReadSwitchB(0);
    grabber.ReadSwitchC(verify ? 0 : 1);
    grabber.OpenTrack();
    std::vector<int16_t> pcm;
    std::vector<uint8_t> block;
    while (grabber.ReadBlocks(50, block) > 0) {
        const auto* samples = reinterpret_cast<const int16_t*>(block.data());
        pcm.insert(pcm.end(), samples, samples + block.size() / 2);
    }
    grabber.CloseTrack();
    return pcm;
}

// Collects FreeDB progress events and lets a test wait for the outcome.
class EventRecorder : public CdGrabberListener {
public:
    void OnFreedbProgress(int status) override {
        std::lock_guard lock(m_);
        statuses.push_back(status);
        cv_.notify_all();
    }
    void OnReadRetry(int attempt, int32_t sector) override {
        std::lock_guard lock(m_);
        retries.emplace_back(attempt, sector);
    }
    // The final status (3, -1 or -2), or 0 when none came within a generous limit.
    int WaitForOutcome() {
        std::unique_lock lock(m_);
        cv_.wait_for(lock, std::chrono::seconds(120), [&] { return Final() != 0; });
        return Final();
    }
    std::vector<int> statuses;
    std::vector<std::pair<int, int32_t>> retries;

private:
    int Final() const {
        for (int s : statuses)
            if (s == kFreedbFound || s == kFreedbConnectionFailed || s == kFreedbNotFound) return s;
        return 0;
    }
    std::mutex m_;
    std::condition_variable cv_;
};

}  // namespace quelt::test
