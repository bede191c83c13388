#include "core/jobs/priority.h"

#include <dirent.h>
#include <sys/resource.h>

#include <cstdlib>

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

void ApplyPriority(int priority) {
    int nice = 0;
    if (!NiceValueForPriority(priority, nice)) return;
    // On Linux a nice value belongs to a thread: set it on each thread of the process.
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (const dirent* entry = readdir(tasks)) {
            int tid = std::atoi(entry->d_name);
            if (tid > 0) setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice);
        }
        closedir(tasks);
    }
    setpriority(PRIO_PROCESS, 0, nice);  // the calling thread, whatever /proc says
}

}  // namespace quelt
