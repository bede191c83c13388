#include "gui/common/job_runner.h"

#include <QMetaObject>
#include <QPointer>
#include <system_error>
#include <thread>

#include "core/jobs/job_control.h"
#include "core/jobs/priority.h"
#include "gui/common/progress_window.h"

namespace quelt {

bool RunJobUnderProgressWindow(ProgressWindow& window, JobControl& control, Priority priority,
                               std::function<void()> work) {
    control.Start();
    window.SetWorkerRunning(true);
    std::thread worker;
    try {
        worker = std::thread([&window, priority, work = std::move(work)] {
            // Only the job's own threads change priority, never the window's thread.
            ApplyPriorityToThisThread(priority);
            work();
            // The window cannot close before this arrives, so it is still alive here.
            QMetaObject::invokeMethod(
                &window, [&window] { window.SetWorkerRunning(false); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        window.SetWorkerRunning(false);
        control.busy = false;
        return false;
    }
    window.exec();
    // exec() returns early only when the whole application quits (a logout); the job has
    // been told to cancel then, and the worker ends at its next packet.
    worker.join();
    return true;
}

}  // namespace quelt
