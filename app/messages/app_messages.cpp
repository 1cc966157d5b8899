#include "messages/app_messages.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>

#include <condition_variable>
#include <mutex>
#include <utility>

namespace talvo {

namespace detail {
// The sender's side of a message sent from another thread. Guarded by the send lock below.
struct PendingReply {
    bool done = false;  // the event was handled (or dropped) and destroyed
    std::optional<MessageReply> reply;
};
}  // namespace detail

namespace {

// One lock and one condition for every cross-thread send: a reply is rare and short, and closing the
// gate must wake every waiting sender at once.
struct SendState {
    std::mutex mutex;
    std::condition_variable_any changed;
    bool gateOpen = true;
};

SendState& sendState() {
    static SendState state;
    return state;
}

constexpr AppMessage kAllMessages[] = {
    AppMessage::ConnectRequest, AppMessage::DeviceEvent,    AppMessage::GetConnected, AppMessage::SettingChanged,
    AppMessage::AddRealTimeRow, AppMessage::SetNoticeText,  AppMessage::HideSettings, AppMessage::GetManualTime,
    AppMessage::OptionSelected, AppMessage::GetDeviceCount,
};

// Reserves the numbers with Qt, so that no other part of the program is handed one of them.
void reserveEventTypes() {
    static const bool reserved = [] {
        for (AppMessage m : kAllMessages) (void)QEvent::registerEventType(static_cast<int>(m));
        return true;
    }();
    (void)reserved;
}

[[nodiscard]] bool isAppMessage(int type) noexcept {
    for (AppMessage m : kAllMessages)
        if (static_cast<int>(m) == type) return true;
    return false;
}

[[nodiscard]] bool onReceiverThread(const QObject* receiver) { return receiver->thread() == QThread::currentThread(); }

}  // namespace

AppEvent::AppEvent(AppMessage message, MessageArg first, MessageArg second, std::any payload)
    : QEvent(eventType(message)), message_(message), first_(first), second_(second), payload_(std::move(payload)) {}

AppEvent::~AppEvent() {
    acquire();
    if (!reply_) return;
    auto& state = sendState();
    {
        std::lock_guard lock(state.mutex);
        reply_->done = true;
        if (answered_) reply_->reply = MessageReply{result_, std::move(payload_)};
    }
    state.changed.notify_all();
}

AppEvent* AppEvent::from(QEvent* event) noexcept {
    if (event == nullptr || !isAppMessage(static_cast<int>(event->type()))) return nullptr;
    return dynamic_cast<AppEvent*>(event);
}

AppMessage AppEvent::message() const noexcept {
    acquire();
    return message_;
}
MessageArg AppEvent::first() const noexcept {
    acquire();
    return first_;
}
MessageArg AppEvent::second() const noexcept {
    acquire();
    return second_;
}
void AppEvent::setResult(MessageArg result) noexcept {
    acquire();
    result_ = result;
    answered_ = true;
}
bool AppEvent::answered() const noexcept {
    acquire();
    return answered_;
}
MessageArg AppEvent::result() const noexcept {
    acquire();
    return result_;
}

void postMessage(QObject* receiver, AppMessage message, MessageArg first, MessageArg second, std::any payload) {
    if (receiver == nullptr) return;
    reserveEventTypes();
    auto event = std::make_unique<AppEvent>(message, first, second, std::move(payload));
    event->publish();
    QCoreApplication::postEvent(receiver, event.release());  // Qt owns and deletes the event
}

std::optional<MessageReply> sendMessage(QObject* receiver, AppMessage message, MessageArg first, MessageArg second,
                                        std::any payload, std::stop_token stop) {
    if (receiver == nullptr) return std::nullopt;
    reserveEventTypes();
    if (onReceiverThread(receiver)) {
        AppEvent event(message, first, second, std::move(payload));
        QCoreApplication::sendEvent(receiver, &event);
        if (!event.answered()) return std::nullopt;
        return MessageReply{event.result(), std::move(event.payload_)};
    }

    auto& state = sendState();
    auto pending = std::make_shared<detail::PendingReply>();
    {
        std::lock_guard lock(state.mutex);
        if (!state.gateOpen || stop.stop_requested()) return std::nullopt;
    }
    auto event = std::make_unique<AppEvent>(message, first, second, std::move(payload));
    event->reply_ = pending;
    event->publish();
    QCoreApplication::postEvent(receiver, event.release());

    std::unique_lock lock(state.mutex);
    state.changed.wait(lock, stop, [&] { return pending->done || !state.gateOpen; });
    if (pending->done && pending->reply) return std::move(*pending->reply);
    return std::nullopt;  // given up; the event, if still queued, is handled later without a waiter
}

void closeSendGate() {
    auto& state = sendState();
    {
        std::lock_guard lock(state.mutex);
        state.gateOpen = false;
    }
    state.changed.notify_all();
}

void openSendGate() {
    std::lock_guard lock(sendState().mutex);
    sendState().gateOpen = true;
}

bool sendGateOpen() {
    std::lock_guard lock(sendState().mutex);
    return sendState().gateOpen;
}

}  // namespace talvo
