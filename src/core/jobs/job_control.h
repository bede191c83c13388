// The busy and cancel flags of one job kind. The starter raises `busy` and clears `cancel`;
// the abort button (or Ctrl-C) sets `cancel`; the worker polls it once per packet or block
// and clears `busy` as its last step (a BusyUntilReturn does, however the worker ends).
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

// Clears `busy` when the scope of a job's Run ends: by its return or by an exception, which
// would otherwise leave the job kind marked busy and every later start refused.
class BusyUntilReturn {
  public:
    explicit BusyUntilReturn(JobControl& control) : control_(control) {}
    ~BusyUntilReturn() { control_.busy.store(false); }
    BusyUntilReturn(const BusyUntilReturn&) = delete;
    BusyUntilReturn& operator=(const BusyUntilReturn&) = delete;

  private:
    JobControl& control_;
};

}  // namespace quelt
