#include "core/jobs/priority.h"

#include <sys/resource.h>
#include <unistd.h>

namespace quelt {

bool NiceValueForPriority(int priority, int& nice) {
    switch (priority) {
        case 1:
            nice = 19;
            return true;
        case 2:
            nice = 0;
            return true;
        case 3:
            nice = -5;
            return true;
        case 4:
            nice = -10;
            return true;
        default:
            return false;
    }
}

void ApplyPriorityToThisThread(int priority) {
    int nice = 0;
    if (!NiceValueForPriority(priority, nice)) return;
    // On Linux a nice value belongs to a thread: PRIO_PROCESS with a thread id sets that
    // thread alone.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice);
}

}  // namespace quelt
