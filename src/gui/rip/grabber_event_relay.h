// Carries the CD grabber's events from the threads that raise them to the ripper page.
// Media changes (the watcher thread) and FreeDB progress (the look-up thread) are queued to
// the receiver's thread, so their handlers run on the GUI thread; read retries run on the
// thread that raised them (the rip worker, inside ReadBlocks), whose handler must be
// thread-safe.
//
// Lifetime: the grabber keeps a raw pointer to the relay. The owner calls Detach() before
// the receiver goes away; after it returns no handler runs any more, and events still
// queued for the receiver are dropped with it.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <mutex>

#include "core/rip/cd_grabber.h"

namespace quelt {

class GrabberEventRelay : public CdGrabberListener {
  public:
    struct Handlers {
        std::function<void()> mediaChanged;                          // GUI thread
        std::function<void(int status)> freedbProgress;              // GUI thread
        std::function<void(int attempt, int32_t sector)> readRetry;  // raising thread
    };

    GrabberEventRelay(QObject* receiver, Handlers handlers);

    void OnMediaChanged() override;
    void OnReadRetry(int attempt, int32_t sector) override;
    void OnFreedbProgress(int status) override;

    // Stops every further handler call; waits for a read-retry handler that is running.
    void Detach();

  private:
    std::mutex mutex_;
    QPointer<QObject> receiver_;
    Handlers handlers_;
    bool attached_ = true;
};

}  // namespace quelt
