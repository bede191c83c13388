// Records what a BurnerLibrary reports through its callbacks and lets a test wait for
// the end of a burn; BurnAndWait runs a whole burn through the real library.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/burn/burner_library.h"
#include "core/burn/libburn_burner.h"

namespace quelt::test {

class BurnEvents {
  public:
    explicit BurnEvents(BurnerLibrary& library) {
        library.SetProcessEventCallback([this](float p) {
            std::lock_guard lock(mutex_);
            percents.push_back(p);
            threads.push_back(std::this_thread::get_id());
        });
        library.SetFinalizeEventCallback([this] {
            std::lock_guard lock(mutex_);
            order.push_back("finalize");
        });
        library.SetBurnDoneEventCallback([this](const std::string& error) {
            std::lock_guard lock(mutex_);
            order.push_back("done");
            doneTexts.push_back(error);
            threads.push_back(std::this_thread::get_id());
            changed_.notify_all();
        });
    }

    // Waits until burn-done has come `count` times in all; false after a generous limit
    // that only a hung burn reaches.
    bool WaitDone(size_t count = 1) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(3),
                                 [&] { return doneTexts.size() >= count; });
    }

    size_t DoneCount() {
        std::lock_guard lock(mutex_);
        return doneTexts.size();
    }

    std::vector<float> percents;
    std::vector<std::string> order;      // "finalize" and "done" in arrival order
    std::vector<std::string> doneTexts;  // "" for success
    std::vector<std::thread::id> threads;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

// Burns `files` as a project of `type`, labelled "Quelt Disc", on the writer `burner` has
// chosen, and returns that burn's burn-done text ("" for success).
inline std::string BurnAndWait(LibburnBurner& burner, BurnEvents& events, int32_t type,
                               const std::vector<std::string>& files, bool testMode = false,
                               bool finalize = true) {
    const size_t earlier = events.DoneCount();
    EXPECT_EQ(burner.CreateProject(type), 0);
    BurnOptions options;
    options.volumeLabel = "Quelt Disc";
    options.testMode = testMode ? 1 : 0;
    options.finalize = finalize ? 1 : 0;
    EXPECT_EQ(burner.SetOptions(options), 0);
    for (const auto& file : files) EXPECT_EQ(burner.AddFile({file}), 0);
    burner.Prepare();
    burner.Burn();
    if (!events.WaitDone(earlier + 1)) return "no burn-done";
    burner.WaitForBurn();
    return events.doneTexts.back();
}

}  // namespace quelt::test
