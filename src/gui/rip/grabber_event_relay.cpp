#include "gui/rip/grabber_event_relay.h"

#include <QMetaObject>

namespace quelt {

GrabberEventRelay::GrabberEventRelay(QObject* receiver, Handlers handlers)
    : receiver_(receiver), handlers_(std::move(handlers)) {}

void GrabberEventRelay::OnMediaChanged() {
    std::lock_guard lock(mutex_);
    if (!attached_ || !receiver_ || !handlers_.mediaChanged) return;
    QMetaObject::invokeMethod(receiver_.data(), handlers_.mediaChanged, Qt::QueuedConnection);
}

void GrabberEventRelay::OnFreedbProgress(int status) {
    std::lock_guard lock(mutex_);
    if (!attached_ || !receiver_ || !handlers_.freedbProgress) return;
    QMetaObject::invokeMethod(
        receiver_.data(), [handler = handlers_.freedbProgress, status] { handler(status); },
        Qt::QueuedConnection);
}

void GrabberEventRelay::OnReadRetry(int attempt, int32_t sector) {
    std::lock_guard lock(mutex_);
    if (!attached_ || !handlers_.readRetry) return;
    handlers_.readRetry(attempt, sector);
}

void GrabberEventRelay::Detach() {
    std::lock_guard lock(mutex_);
    attached_ = false;
    handlers_ = {};
}

}  // namespace quelt
