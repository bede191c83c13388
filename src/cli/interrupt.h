// Ctrl-C (SIGINT), SIGTERM and SIGHUP while a command's job runs: each raises the job's cancel
// flag, so the job stops at its next check and removes what it was writing, exactly as the
// abort button does; the command then exits with 128 + the signal's number (130, 143, 129).
// A second signal ends the program at once, as the system would.
#pragma once

#include <atomic>

namespace quelt::cli {

class InterruptScope {
  public:
    // Installs the handlers until destruction; `cancel` must outlive the scope.
    explicit InterruptScope(std::atomic<bool>& cancel);
    ~InterruptScope();
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

    // The signal that came while the scope was in place; 0 when none.
    int signal() const;
    // The exit status for a job that was cancelled: 128 + the signal, 130 without one.
    int CancelledStatus() const;
};

}  // namespace quelt::cli
