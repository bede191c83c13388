// The "Priority" setting applied to the whole process before a job's worker starts.
#pragma once

namespace quelt {

// 1 idle, 2 normal, 3 high, 4 real-time become the nice values 19, 0, -5 and -10 of every
// thread of the process (threads started later inherit it from their creator); any other
// value changes nothing. A refusal (raising the priority needs privileges) is ignored.
void ApplyPriority(int priority);

// The nice value that ApplyPriority sets for `priority`, or nothing for an unknown value.
bool NiceValueForPriority(int priority, int& nice);

}  // namespace quelt
