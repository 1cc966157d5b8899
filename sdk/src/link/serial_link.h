// The serial link to one scanner: opens and configures the port, writes frames, and runs the receive
// thread that routes every frame the scanner sends.
//
// Responses go to the waiting exchange through the response hand-off; packets the scanner starts itself
// (scans, deleted-data reports) are acknowledged and reported to the observer; a port that becomes
// invalid is reported as lost. Carrier-detect changes wake the connection thread's line watch.
#pragma once

#include "engine/timings.h"
#include "link/exchange_state.h"
#include "link/frame_reader.h"
#include "link/link_hooks.h"
#include "link/link_observer.h"
#include "transport/transport.h"
#include "zt/protocol/wire.h"

#include "zt/platform/event.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>

namespace zt::sdk {

enum class WriteStatus { Written, PortLost, Failed };

class SerialLink {
public:
    static constexpr int kOpened = 1;

    // `opener` opens the transport for each open(): the tty in the library, a memory pipe in tests.
    SerialLink(LinkObserver& observer, const Timings& timings, TransportOpener opener = ttyOpener());
    ~SerialLink();
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // Opens "COM<n>", settles, starts a receive session. 1 on success, -3 when the device does not
    // exist, -1 for any other open or configuration error.
    [[nodiscard]] int open(std::string_view portName);
    // Ends the receive session and closes the port; stops a running exchange first.
    void close();
    // Stops every wait of an exchange for good; part of destruction, callable earlier.
    void beginShutdown();
    // Closes the port and ends the receive thread. Idempotent; the destructor calls it.
    void stop();

    // Writes one whole frame (sync byte set here) with one write; frames over 512 bytes are refused.
    [[nodiscard]] WriteStatus writeFrame(const wire::FrameHeader& header, std::span<const std::uint8_t> payload);

    // Blocks until the carrier-detect line changes or wakeLineWatch() is called; a change or wake-up since
    // the last watch of this session ends it at once.
    void watchLine();
    void wakeLineWatch();
    // What the receive thread does on a carrier-detect change.
    void reportLineChange();
    [[nodiscard]] bool watchingLine() const { return lineWatch_.load(); }

    [[nodiscard]] int portNumber() const { return portNumber_.load(); }
    // True once the receive thread reported the port lost.
    [[nodiscard]] bool portLost() const { return portLost_.load(); }
    [[nodiscard]] const std::string& portName() const { return portName_; }

    // Test hooks; set before open(), while no receive session runs.
    void setHooks(LinkHooks hooks) { hooks_ = std::move(hooks); }

    // The exchanges on this link (the command thread runs them; see ExchangeState).
    [[nodiscard]] ExchangeState& exchanges() { return exchanges_; }

private:
    class PortSource;

    void receiveThreadMain();
    void runSession();
    [[nodiscard]] bool handleFrame(PortSource& source, const ReadResult& frame);
    [[nodiscard]] bool handleResponse(PortSource& source, const wire::FrameHeader& header);
    [[nodiscard]] bool handlePacket(const wire::FrameHeader& header);
    void endSession();
    void reportPortLost();
    [[nodiscard]] WriteStatus acknowledge(const wire::FrameHeader& packet);
    [[nodiscard]] bool flushUntilQuiet(PortSource& source);
    [[nodiscard]] std::span<const std::uint8_t> receivedPayload(std::uint16_t length) const;
    [[nodiscard]] std::shared_ptr<Transport> transport() const;

    LinkObserver& observer_;
    const Timings timings_;
    const TransportOpener opener_;
    LinkHooks hooks_;

    // The open port. Writers and close() take a reference under the mutex, so the port they use stays
    // open (its descriptor is not reused) until they are done, even when the session ends meanwhile.
    mutable std::mutex transportMutex_;
    std::shared_ptr<Transport> transport_;
    std::mutex writeMutex_;  // one frame at a time: acknowledgements and requests never interleave
    std::mutex closeMutex_;

    std::atomic<bool> running_{true};
    std::atomic<bool> open_{false};
    std::atomic<bool> portLost_{false};
    std::atomic<bool> lineWatch_{false};
    std::atomic<int> portNumber_{0};
    std::string portName_;

    platform::AutoResetEvent lineChange_;
    platform::AutoResetEvent start_;
    platform::ManualResetEvent shutdown_;
    std::mutex readyMutex_;
    std::condition_variable readyCv_;
    bool receiverReady_ = false;
    bool sessionRunning_ = false;  // from open() until the receive thread has closed the port

    ExchangeState exchanges_;
    std::unique_ptr<ReceiveBuffer> receiveBuffer_;
    std::once_flag stopOnce_;
    std::thread receiveThread_;
};

}  // namespace zt::sdk
