#include "link/serial_link.h"

#include "trace.h"

#include "zt/platform/thread_priority.h"

#include <array>
#include <charconv>

namespace zt::sdk {

using platform::IoStatus;

// The port as the frame reader sees it: every read waits at most the read time-out for its first byte and
// gives up when close() cancels the session.
class SerialLink::PortSource final : public ByteSource {
public:
    PortSource(Transport& port, std::chrono::milliseconds timeout) : port_(port), timeout_(timeout) {}

    IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got) override {
        return port_.read(buffer, got, timeout_);
    }

private:
    Transport& port_;
    std::chrono::milliseconds timeout_;
};

namespace {

int parsePortNumber(std::string_view name) {
    int number = 0;
    if (name.size() > 3) (void)std::from_chars(name.data() + 3, name.data() + name.size(), number);
    return number;
}

}  // namespace

SerialLink::SerialLink(LinkObserver& observer, const Timings& timings, TransportOpener opener)
    : observer_(observer),
      timings_(timings),
      opener_(std::move(opener)),
      receiveBuffer_(std::make_unique<ReceiveBuffer>()) {
    receiveThread_ = std::thread([this] { receiveThreadMain(); });
}

SerialLink::~SerialLink() { stop(); }

void SerialLink::stop() {
    std::call_once(stopOnce_, [this] {
        beginShutdown();
        close();
        running_.store(false);
        start_.signal();
        receiveThread_.join();
    });
}

void SerialLink::beginShutdown() {
    shutdown_.signal();
    exchanges_.requestShutdown();
}

int SerialLink::open(std::string_view portName) {
    portName_ = std::string(portName);
    OpenError error = OpenError::Failed;
    std::shared_ptr<Transport> port = opener_(portName, error);
    if (!port) {
        trace("open %s failed", portName_.c_str());
        return error == OpenError::DeviceMissing ? -3 : -1;
    }
    {
        std::lock_guard lock(transportMutex_);
        transport_ = std::move(port);
    }
    // Give the scanner time to settle; destruction cuts the wait short.
    (void)shutdown_.waitFor(timings_.settleAfterOpen);
    portNumber_.store(parsePortNumber(portName));

    exchanges_.beginSession();
    lineChange_.reset();  // a change or wake-up of an earlier session does not count for this one
    {
        std::lock_guard lock(readyMutex_);
        receiverReady_ = false;
        sessionRunning_ = true;
    }
    open_.store(true);
    start_.signal();
    std::unique_lock lock(readyMutex_);
    (void)readyCv_.wait_for(lock, timings_.receiverReadyWait, [this] { return receiverReady_; });
    return kOpened;
}

void SerialLink::close() {
    std::lock_guard closeLock(closeMutex_);
    exchanges_.requestAbort();
    (void)exchanges_.waitClosed(timings_.closeWait);
    exchanges_.clearAbort();
    if (open_.load()) {
        if (const auto port = transport()) port->cancel();
        exchanges_.cancelSession();
        // The receive thread owns the port while a session runs and closes it when the session ends; all
        // its waits watch the cancel descriptor, so idle comes within one read time-out.
        std::unique_lock lock(readyMutex_);
        (void)readyCv_.wait_for(lock, timings_.closeWait, [this] { return !sessionRunning_; });
    }
    open_.store(false);
}

WriteStatus SerialLink::writeFrame(const wire::FrameHeader& header, std::span<const std::uint8_t> payload) {
    std::array<std::uint8_t, wire::kMaxWriteFrame> frame{};
    const auto size = wire::encodeFrame(header, payload, frame);
    if (!size) return WriteStatus::Failed;
    const auto timeout = timings_.writeConstant + timings_.writePerByte * static_cast<long>(*size);
    const auto port = transport();
    if (!port) return WriteStatus::PortLost;
    std::lock_guard lock(writeMutex_);
    switch (port->writeAll(std::span(frame).first(*size), timeout)) {
        case IoStatus::Ok: return WriteStatus::Written;
        case IoStatus::Lost: return WriteStatus::PortLost;
        default: return WriteStatus::Failed;
    }
}

void SerialLink::watchLine() {
    lineWatch_.store(true);
    lineChange_.wait();
    lineWatch_.store(false);
}

void SerialLink::wakeLineWatch() { lineChange_.signal(); }

// Kept until the next watch when nobody watches (the connection thread is between the handshake and
// the watch, or in a re-check): that watch returns at once and the scanner is checked again.
void SerialLink::reportLineChange() { lineChange_.signal(); }

std::span<const std::uint8_t> SerialLink::receivedPayload(std::uint16_t length) const {
    return std::span<const std::uint8_t>(*receiveBuffer_)
        .first(std::min<std::size_t>(length, wire::kMaxReceivePayload));
}

void SerialLink::receiveThreadMain() {
    platform::raiseCurrentThreadPriority();
    for (;;) {
        start_.wait();
        if (!running_.load()) return;
        runSession();
        endSession();
    }
}

void SerialLink::runSession() {
    const auto port = transport();
    if (!port) return;
    PortSource source(*port, timings_.readTimeout);
    // Ports without modem lines (pseudo-terminals) have no carrier events: wait without a time-out.
    std::optional<bool> carrier = port->carrierDetect();
    const auto eventWait = carrier ? timings_.carrierPoll : std::chrono::milliseconds(-1);
    for (;;) {
        {
            std::lock_guard lock(readyMutex_);
            receiverReady_ = true;
        }
        readyCv_.notify_all();
        const IoStatus event = port->waitReadable(eventWait);
        if (event == IoStatus::Cancelled || event == IoStatus::Failed) return;
        if (event == IoStatus::Lost) {
            trace("port %d lost", portNumber());
            reportPortLost();
            return;
        }
        if (event == IoStatus::TimedOut) {
            const auto now = port->carrierDetect();
            if (now != carrier) reportLineChange();
            carrier = now;
            continue;
        }
        if (!handleFrame(source, readFrame(source, *receiveBuffer_))) return;
    }
}

// Routes one read attempt; false ends the session.
bool SerialLink::handleFrame(PortSource& source, const ReadResult& frame) {
    switch (frame.outcome) {
        case ReadOutcome::Lost:
            trace("port %d lost while reading", portNumber());
            reportPortLost();
            return false;
        case ReadOutcome::Cancelled: return false;
        case ReadOutcome::Ended:
        case ReadOutcome::Discarded: return true;
        case ReadOutcome::Frame: break;
    }
    if (frame.header.isRequest()) return handlePacket(frame.header);
    return handleResponse(source, frame.header);
}

bool SerialLink::handleResponse(PortSource& source, const wire::FrameHeader& header) {
    trace("response seq %u block %u retry %u", header.seq, header.block, header.retry);
    if (hooks_.beforeHandOver) hooks_.beforeHandOver(header);
    // Whether an exchange waits for this response, and with which retry byte, is decided under the
    // exchange state's lock together with the hand-over, so the exchange cannot end in between.
    switch (exchanges_.offer(header, receivedPayload(header.length))) {
        case ExchangeState::Offer::Taken:
        case ExchangeState::Offer::Dropped: return true;
        case ExchangeState::Offer::Cancelled: return false;
        case ExchangeState::Offer::Flush: break;
    }
    return flushUntilQuiet(source);
}

// A late answer to an earlier repeat: flush it and whatever follows until the line is quiet.
bool SerialLink::flushUntilQuiet(PortSource& source) {
    trace("flushing after a late response");
    for (;;) {
        const ReadResult next = readFrame(source, *receiveBuffer_);
        if (next.outcome == ReadOutcome::Frame || next.outcome == ReadOutcome::Discarded) continue;
        if (next.outcome == ReadOutcome::Lost) {
            reportPortLost();
            return false;
        }
        return next.outcome != ReadOutcome::Cancelled;
    }
}

// Routes a packet the scanner sent on its own; false ends the session.
bool SerialLink::handlePacket(const wire::FrameHeader& header) {
    // During an exchange the scanner's own packets are neither delivered nor acknowledged; the scanner
    // may send them again, since they were not acknowledged.
    if (exchanges_.exchangeOpen()) return true;
    const auto type = static_cast<wire::PacketType>(header.code());
    if (type != wire::PacketType::ScanData && type != wire::PacketType::DeletedData) return true;
    // Delivered only once the acknowledgement is written: a scanner that gets none sends the packet
    // again, and a barcode delivered before a failed acknowledgement would then arrive twice.
    switch (acknowledge(header)) {
        case WriteStatus::Written:
            observer_.onScannerPacket(portNumber(), type, receivedPayload(header.length));
            return true;
        case WriteStatus::Failed:
            trace("port %d: acknowledgement not written; the packet is left for the scanner to send again",
                  portNumber());
            return true;
        case WriteStatus::PortLost:
            trace("port %d lost while acknowledging", portNumber());
            reportPortLost();
            return false;
    }
    return true;
}

WriteStatus SerialLink::acknowledge(const wire::FrameHeader& packet) {
    wire::FrameHeader ack;
    ack.seq = packet.seq;  // echo the packet's sequence number; the scanner does not check it
    ack.type = packet.code();
    return writeFrame(ack, {});
}

std::shared_ptr<Transport> SerialLink::transport() const {
    std::lock_guard lock(transportMutex_);
    return transport_;
}

void SerialLink::reportPortLost() {
    portLost_.store(true);  // before the report, so that an open in progress can see it (see portLost())
    observer_.onPortLost(portNumber());
}

void SerialLink::endSession() {
    open_.store(false);
    {
        std::lock_guard lock(transportMutex_);
        transport_.reset();  // closes the port once no writer holds it any more
    }
    {
        std::lock_guard lock(readyMutex_);
        receiverReady_ = false;
        sessionRunning_ = false;
    }
    readyCv_.notify_all();
    trace("port %d closed", portNumber());
}

}  // namespace zt::sdk
