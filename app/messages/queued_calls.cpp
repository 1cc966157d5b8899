#include "messages/queued_calls.h"

#include <QCoreApplication>
#include <QEvent>

#include <atomic>

namespace talvo {
namespace {

QEvent::Type callEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

class CallEvent final : public QEvent {
public:
    explicit CallEvent(std::function<void()> call) : QEvent(callEventType()), call_(std::move(call)) {
        published_.store(true, std::memory_order_release);
    }
    void run() {
        (void)published_.load(std::memory_order_acquire);
        if (call_) call_();
    }

private:
    std::function<void()> call_;
    std::atomic<bool> published_{false};
};

}  // namespace

QueuedCalls::QueuedCalls(QObject* owner) : QObject(owner) {}

void QueuedCalls::post(std::function<void()> call) {
    QCoreApplication::postEvent(this, new CallEvent(std::move(call)));
}

void QueuedCalls::customEvent(QEvent* event) {
    if (event->type() == callEventType()) {
        static_cast<CallEvent*>(event)->run();
        return;
    }
    QObject::customEvent(event);
}

}  // namespace talvo
