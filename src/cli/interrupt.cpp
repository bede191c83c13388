#include "cli/interrupt.h"

#include <signal.h>

namespace quelt::cli {
namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Lock-free atomics only: the handler may touch nothing else.
std::atomic<std::atomic<bool>*> gCancel{nullptr};
std::atomic<int> gSignal{0};
struct sigaction gPrevious[3];

extern "C" void OnExitSignal(int number) {
    int none = 0;
    gSignal.compare_exchange_strong(none, number);
    if (std::atomic<bool>* cancel = gCancel.load()) cancel->store(true);
}

}  // namespace

InterruptScope::InterruptScope(std::atomic<bool>& cancel) {
    gSignal.store(0);
    gCancel.store(&cancel);
    struct sigaction action {};
    action.sa_handler = OnExitSignal;
    action.sa_flags = SA_RESETHAND;  // a second signal ends the program at once
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &gPrevious[i]);
}

InterruptScope::~InterruptScope() {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
    gCancel.store(nullptr);
}

int InterruptScope::signal() const { return gSignal.load(); }

int InterruptScope::CancelledStatus() const {
    const int number = gSignal.load();
    return number ? 128 + number : 128 + SIGINT;
}

}  // namespace quelt::cli
