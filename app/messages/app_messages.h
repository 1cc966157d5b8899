// The program's numbered application messages: custom QEvent types whose type numbers are the
// messages' own numbers (all in Qt's user range). A message carries two integer arguments (often a
// pointer), an optional owned payload, and a result that its handler sets.
//
// postMessage queues the event for the receiver's thread and returns at once. sendMessage handles it at
// once on the receiver's own thread, or, from another thread, blocks until the receiver's thread has
// handled it. A blocked send gives up when its stop token is requested, when the send gate is closed
// (shutdown), or when the receiver goes away with the event unhandled; it then returns no reply. Never
// send while holding a lock that the receiver's thread may take.
#pragma once

#include <QEvent>

#include <any>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>

class QObject;

namespace talvo {

enum class AppMessage : int {
    ConnectRequest = 1035,  // Connect page -> main sheet: kind (0 connect, 1 disconnect), DeviceRecord*
    DeviceEvent = 1036,     // main sheet -> pages, posted: event kind, DeviceRecord*, payload DeviceEventInfo
    GetConnected = 1037,    // page -> main sheet (or settings sheet), sent: capacity, DeviceRecord** array
    SettingChanged = 1039,  // Setting page -> main sheet, posted: kind, new value
    AddRealTimeRow = 1040,  // -> Download page, posted: payload RealTimeRow
    SetNoticeText = 1041,   // -> notice panel
    HideSettings = 1043,    // settings sheet -> Configure page
    GetManualTime = 1044,   // connection worker -> Setting page, sent: payload ScannerTimeBytes to fill
    OptionSelected = 1046,  // Symbology list -> its page
    GetDeviceCount = 1047,  // -> Connect page, sent: result is the number of rows
};

using MessageArg = std::intptr_t;

[[nodiscard]] constexpr QEvent::Type eventType(AppMessage message) noexcept {
    return static_cast<QEvent::Type>(static_cast<int>(message));
}

template <class T>
[[nodiscard]] MessageArg pointerArg(T* pointer) noexcept {
    return reinterpret_cast<MessageArg>(pointer);
}
template <class T>
[[nodiscard]] T* argPointer(MessageArg arg) noexcept {
    return reinterpret_cast<T*>(arg);
}

namespace detail {
struct PendingReply;
}

// What a sent message gave back: the handler's result and the payload as the handler left it.
struct MessageReply {
    MessageArg result = 0;
    std::any payload;
};

class AppEvent final : public QEvent {
public:
    AppEvent(AppMessage message, MessageArg first, MessageArg second, std::any payload = {});
    ~AppEvent() override;
    AppEvent(const AppEvent&) = delete;
    AppEvent& operator=(const AppEvent&) = delete;

    // The event of an application message, or null for any other event.
    [[nodiscard]] static AppEvent* from(QEvent* event) noexcept;

    [[nodiscard]] AppMessage message() const noexcept;
    [[nodiscard]] MessageArg first() const noexcept;
    [[nodiscard]] MessageArg second() const noexcept;
    // The payload, e.g. the buffer a handler fills; null when it holds no T.
    template <class T>
    [[nodiscard]] T* payload() noexcept {
        acquire();
        return std::any_cast<T>(&payload_);
    }

    // Answers the message; a sender receives this result. An unanswered sent message gives no reply.
    void setResult(MessageArg result) noexcept;
    [[nodiscard]] bool answered() const noexcept;
    [[nodiscard]] MessageArg result() const noexcept;

private:
    friend std::optional<MessageReply> sendMessage(QObject*, AppMessage, MessageArg, MessageArg, std::any,
                                                   std::stop_token);
    friend void postMessage(QObject*, AppMessage, MessageArg, MessageArg, std::any);

    // The event travels between threads through Qt's queue, whose locking the thread checkers do not
    // see; this release/acquire pair makes the hand-over of the fields explicit.
    void publish() noexcept { published_.store(true, std::memory_order_release); }
    void acquire() const noexcept { (void)published_.load(std::memory_order_acquire); }

    AppMessage message_;
    MessageArg first_;
    MessageArg second_;
    std::any payload_;
    MessageArg result_ = 0;
    bool answered_ = false;
    std::shared_ptr<detail::PendingReply> reply_;  // set for a send from another thread
    std::atomic<bool> published_{false};
};

// Queues the message for `receiver` (which must outlive the call; a receiver destroyed before the
// event is handled drops it). Safe from any thread. A null receiver drops the message.
void postMessage(QObject* receiver, AppMessage message, MessageArg first = 0, MessageArg second = 0,
                 std::any payload = {});

// Delivers the message and returns the handler's reply; nothing when no handler answered, the receiver
// is null or went away, `stop` was requested, or the send gate is closed (cross-thread sends only).
[[nodiscard]] std::optional<MessageReply> sendMessage(QObject* receiver, AppMessage message, MessageArg first = 0,
                                                      MessageArg second = 0, std::any payload = {},
                                                      std::stop_token stop = {});

// Closing the gate makes every blocked cross-thread send return nothing at once, and every later one
// fail at once, so that no thread waits for a user-interface thread that is shutting down. Same-thread
// sends and posts are not affected. Opening it again (tests) restores normal sends.
void closeSendGate();
void openSendGate();
[[nodiscard]] bool sendGateOpen();

}  // namespace talvo
