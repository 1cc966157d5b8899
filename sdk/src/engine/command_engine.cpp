#include "engine/command_engine.h"

#include "engine/exchange.h"
#include "link/usb_serial.h"
#include "trace.h"
#include "zt330sdk.h"

#include <charconv>

namespace zt::sdk {

// One submitted command with its own completion, so that the handshake and an application command never
// take each other's result.
struct CommandEngine::PendingCommand {
    std::uint8_t code = 0;
    CommandCodec* codec = nullptr;
    platform::ManualResetEvent done;
    int result = SDK_OK;
};

CommandEngine::CommandEngine(LinkObserver& observer, const Timings& timings, TransportOpener opener)
    : observer_(observer),
      timings_(timings),
      link_(std::make_unique<SerialLink>(observer, timings_, std::move(opener))) {
    commandThread_ = std::thread([this] { commandThreadMain(); });
    commandThreadId_ = commandThread_.get_id();
    connectionThread_ = std::thread([this] { connectionThreadMain(); });
}

CommandEngine::~CommandEngine() { shutdown(); }

void CommandEngine::shutdown() {
    std::call_once(shutdownOnce_, [this] {
        link_->beginShutdown();  // a running exchange ends at once with -12
        {
            std::lock_guard lock(queueMutex_);
            commandStop_.store(true);
            connectFlag_.store(false);
            failQueued(SDK_ERR_ABORTED);
        }
        queueEvent_.signal();
        commandThread_.join();
        connectionStop_.store(true);
        wake_.signal();
        link_->wakeLineWatch();
        connectionThread_.join();
        link_->stop();
        setConnected(false);
        {
            std::lock_guard lock(openMutex_);
            openStopped_ = true;
        }
        finishOpen(SDK_ERR_ABORTED);  // an open cut short before it reported
    });
}

void CommandEngine::setConnected(bool state) {
    {
        std::lock_guard lock(openMutex_);
        connected_.store(state);
    }
    openCv_.notify_all();
}

bool CommandEngine::waitConnected(bool state, std::chrono::milliseconds timeout) {
    std::unique_lock lock(openMutex_);
    return openCv_.wait_for(lock, timeout, [&] { return connected_.load() == state; });
}

void CommandEngine::finishOpen(int result) {
    {
        std::lock_guard lock(openMutex_);
        if (openResult_) return;
        openResult_ = result;
    }
    openCv_.notify_all();
}

void CommandEngine::connect(std::string_view portName) {
    {
        std::lock_guard lock(openMutex_);
        if (openStopped_) return;  // shut down already: the outcome stays -12
        openResult_.reset();       // each connect reports its own outcome
    }
    if (connected_.load()) {
        finishOpen(SDK_ERR_ALREADY_CONNECTED);
        return;
    }
    int number = 0;
    if (portName.size() > 3) (void)std::from_chars(portName.data() + 3, portName.data() + portName.size(), number);
    portNumber_.store(number);
    std::lock_guard lock(connectionMutex_);
    portName_ = std::string(portName);
    connectFlag_.store(true);
    wake_.signal();
}

int CommandEngine::waitOpenFinished() {
    std::unique_lock lock(openMutex_);
    openCv_.wait(lock, [this] { return openResult_.has_value(); });
    return *openResult_;
}

int CommandEngine::disconnect() {
    if (!connected_.load()) return SDK_ERR_NOT_CONNECTED;
    connectFlag_.store(false);
    link_->wakeLineWatch();  // leaves the watch and ends the connection cycle
    wake_.signal();          // a second round closes the link
    return SDK_OK;
}

int CommandEngine::submit(wire::Command command, CommandCodec* codec) {
    PendingCommand pending;
    pending.code = static_cast<std::uint8_t>(command);
    pending.codec = codec;
    {
        std::lock_guard lock(queueMutex_);
        if (!connectFlag_.load() || commandStop_.load()) {
            failQueued(SDK_ERR_PORT_LOST);
            return SDK_ERR_PORT_LOST;
        }
        queue_.push_back(&pending);
    }
    queueEvent_.signal();
    pending.done.wait();
    return pending.result;
}

void CommandEngine::complete(PendingCommand& command, int result) {
    command.result = result;
    command.done.signal();
}

// Completes every queued command with `result`; the caller holds the queue lock.
void CommandEngine::failQueued(int result) {
    for (PendingCommand* command : queue_) complete(*command, result);
    queue_.clear();
}

void CommandEngine::commandThreadMain() {
    for (;;) {
        queueEvent_.wait();
        if (commandStop_.load()) return;
        for (;;) {
            PendingCommand* command = nullptr;
            {
                std::lock_guard lock(queueMutex_);
                if (queue_.empty()) break;
                command = queue_.front();
                queue_.pop_front();
            }
            complete(*command, runExchange(*link_, command->code, command->codec, timings_));
        }
    }
}

void CommandEngine::connectionThreadMain() {
    for (;;) {
        wake_.wait();
        if (connectionStop_.load()) return;
        {
            std::lock_guard lock(connectionMutex_);
            if (portName_.empty()) {
                // never asked to connect
            } else if (connectFlag_.load()) {
                runConnectionCycle();
            } else {
                link_->close();
            }
        }
        setConnected(false);
        usbSerial_.store(true);
    }
}

// Opens the port and handshakes; while connected, watches the line and handshakes again after every
// change. Runs with the connection lock held.
void CommandEngine::runConnectionCycle() {
    const int opened = link_->open(portName_);
    if (opened != SerialLink::kOpened) {
        connectFlag_.store(false);
        finishOpen(opened);
        return;
    }
    do {
        const int result = submit(wire::Command::Handshake, &handshake_);
        if (result == SDK_OK) {
            usbSerial_.store(isUsbSerial(portName_));
            setConnected(true);
            finishOpen(result);
            link_->watchLine();
            continue;
        }
        trace("handshake on %s failed: %d", portName_.c_str(), result);
        link_->close();
        connectFlag_.store(false);
        // A Bluetooth scanner that stopped answering is gone: report it. A USB serial port only closes,
        // and a failed first handshake is reported to the caller of connect (the USB flag is 1 until then).
        if (usbSerial_.load()) {
            finishOpen(result);  // ignored after the first open reported
        } else {
            observer_.onPortLost(portNumber_.load());
        }
    } while (connectFlag_.load() && !connectionStop_.load());
}

}  // namespace zt::sdk
