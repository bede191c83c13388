// The "Priority" setting applied to a job's worker thread as it starts.
#pragma once

#include "core/settings/settings.h"

namespace quelt {

// Idle, normal, high and real-time become the nice values 19, 0, -5 and -10 of the
// calling thread only; the threads it starts later inherit the value, the rest of the
// process (a window's thread, an audio thread) keeps its own. Any other value changes
// nothing. A refusal (raising the priority needs privileges) is ignored. Because the value
// ends with the thread, a user who may not raise priorities is never left at a low one.
void ApplyPriorityToThisThread(Priority priority);

// The nice value that ApplyPriorityToThisThread sets for `priority`, or nothing for an
// unknown value.
bool NiceValueForPriority(Priority priority, int& nice);

}  // namespace quelt
