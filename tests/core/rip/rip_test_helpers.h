// Helpers shared by the rip tests: reading a whole track through a grabber and waiting for
// the outcome of a FreeDB look-up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "core/rip/cd_grabber.h"
#include "core/rip/freedb_info.h"

namespace quelt::test {

inline std::vector<int16_t> ReadWholeTrack(CdGrabber& grabber, int session, int track) {
    grabber.SelectSession(session);
    grabber.SelectTrack(track);
    grabber.ReadSwitchA(0);
    grabber.ReadSwitchB(0);
    grabber.ReadSwitchC(0);
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
