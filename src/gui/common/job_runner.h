// Runs one job on a worker thread under its modal progress window, the way every starter
// does it: raise the job kind's busy flag, start the worker at the job priority, show the
// window until the user closes it, join the worker.
#pragma once

#include <functional>

#include "core/settings/settings.h"

namespace quelt {

class ProgressWindow;
struct JobControl;

// `control` is the job kind's flags (the window's too): raised here, cleared again when the
// worker cannot be started. `priority` is the "Priority" setting, applied to the worker
// thread (and the threads it starts) alone. `work` runs on a new thread and must report only
// through the window's JobReport side. Returns false (without showing the window) when the
// thread cannot be started. Returns after the window was closed and the worker has ended.
bool RunJobUnderProgressWindow(ProgressWindow& window, JobControl& control, Priority priority,
                               std::function<void()> work);

}  // namespace quelt
