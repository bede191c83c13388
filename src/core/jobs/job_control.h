// The busy and cancel flags of one job kind. The starter raises `busy` and clears `cancel`;
// the abort button (or Ctrl-C) sets `cancel`; the worker polls it once per packet or block
// and clears `busy` as its last step.
#pragma once

#include <atomic>

namespace quelt {

struct JobControl {
    std::atomic<bool> busy{false};
    std::atomic<bool> cancel{false};

    void Start() {
        cancel.store(false);
        busy.store(true);
    }
    bool Cancelled() const { return cancel.load(std::memory_order_relaxed); }
};

}  // namespace quelt
