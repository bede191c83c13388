#include "core/jobs/priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace quelt {

bool NiceValueForPriority(Priority priority, int& nice) {
    switch (priority) {
        case Priority::kIdle:
            nice = 19;
            return true;
        case Priority::kNormal:
            nice = 0;
            return true;
        case Priority::kHigh:
            nice = -5;
            return true;
        case Priority::kRealtime:
            nice = -10;
            return true;
        default:
            return false;
    }
}

void ApplyPriorityToThisThread(Priority priority) {
    int nice = 0;
    if (!NiceValueForPriority(priority, nice)) return;
    // On Linux a nice value belongs to a thread: PRIO_PROCESS with a thread id sets that
    // thread alone.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice);
}

}  // namespace quelt
