// Records what a BurnerLibrary reports through its callbacks and lets a test wait for
// the end of a burn.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/burn/burner_library.h"

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

    std::vector<float> percents;
    std::vector<std::string> order;      // "finalize" and "done" in arrival order
    std::vector<std::string> doneTexts;  // "" for success
    std::vector<std::thread::id> threads;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace quelt::test
