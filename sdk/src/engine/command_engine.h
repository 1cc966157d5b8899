// The command engine of one scanner: a FIFO of commands served by the command thread, and the connection
// thread that opens the port, proves the scanner answers, watches the line and closes the port.
#pragma once

#include "engine/command_codec.h"
#include "engine/handshake_codec.h"
#include "engine/timings.h"
#include "link/link_observer.h"
#include "link/serial_link.h"
#include "transport/transport.h"

#include "zt/platform/event.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace zt::sdk {

class CommandEngine {
public:
    CommandEngine(LinkObserver& observer, const Timings& timings, TransportOpener opener = ttyOpener());
    ~CommandEngine();
    CommandEngine(const CommandEngine&) = delete;
    CommandEngine& operator=(const CommandEngine&) = delete;

    // Asks the connection thread to open `portName` and run the handshake; waitOpenFinished() then gives
    // the outcome. Asked while connected: the outcome is -7. An engine shut down before the open finished
    // gives -12.
    void connect(std::string_view portName);
    [[nodiscard]] int waitOpenFinished();

    // Takes the link down. 0, or -5 when not connected.
    [[nodiscard]] int disconnect();

    // Queues a command and waits for its result. A command submitted while the link is down fails at once
    // with -17 without being run.
    [[nodiscard]] int submit(wire::Command command, CommandCodec* codec);

    // Stops both threads and closes the link; waiting callers get -12. Idempotent; the destructor calls it.
    void shutdown();

    [[nodiscard]] bool connected() const { return connected_.load(); }
    // Waits until connected() equals `state`, for at most `timeout` (tests): whether it did.
    [[nodiscard]] bool waitConnected(bool state, std::chrono::milliseconds timeout);
    [[nodiscard]] int portNumber() const { return portNumber_.load(); }
    [[nodiscard]] SerialLink& link() { return *link_; }
    // True on this engine's command thread (where collect progress callbacks run).
    [[nodiscard]] bool isCommandThread() const { return std::this_thread::get_id() == commandThreadId_; }

private:
    struct PendingCommand;

    void commandThreadMain();
    void connectionThreadMain();
    void runConnectionCycle();
    void complete(PendingCommand& command, int result);
    void finishOpen(int result);
    void setConnected(bool state);
    void failQueued(int result);

    LinkObserver& observer_;
    const Timings timings_;
    std::unique_ptr<SerialLink> link_;

    std::atomic<bool> connectFlag_{false};
    std::atomic<bool> connected_{false};
    std::atomic<bool> usbSerial_{true};
    std::atomic<int> portNumber_{0};
    std::string portName_;  // guarded by connectionMutex_
    std::mutex connectionMutex_;

    std::mutex queueMutex_;
    platform::AutoResetEvent queueEvent_;
    std::deque<PendingCommand*> queue_;
    std::atomic<bool> commandStop_{false};

    platform::AutoResetEvent wake_;
    std::atomic<bool> connectionStop_{false};
    // The outcome of the open: the first one reported counts.
    std::mutex openMutex_;
    std::condition_variable openCv_;  // also signals every change of connected_
    std::optional<int> openResult_;
    bool openStopped_ = false;  // shut down: a later connect finishes at once with -12
    HandshakeCodec handshake_;

    std::once_flag shutdownOnce_;
    std::thread commandThread_;
    std::thread::id commandThreadId_;  // kept apart: readable while the thread object is being joined
    std::thread connectionThread_;
};

}  // namespace zt::sdk
