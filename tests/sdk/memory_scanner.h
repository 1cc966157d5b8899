// A scriptable scanner on the far end of an in-memory pipe, for deterministic tests of the link, the
// exchange, the engine and the C API.
//
// The scanner reads the SDK's frames on a thread of its own, records them byte for byte, and answers a
// request when a test taught it an answer for the request's command (the handshake is answered by
// default). Tests inject frames from the scanner's side (scans, deleted-data reports, raw bytes), hang up,
// flip the carrier line, and stop the scanner at chosen points: the request hook runs on the scanner's
// thread before the answer and may block there (on a Gate) for as long as the test needs.
#pragma once

#include "transport/memory_pipe.h"
#include "transport/transport.h"
#include "zt/protocol/wire.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace zt::sdk::test {

using Bytes = std::vector<std::uint8_t>;

// One frame as it crossed the pipe.
struct WireFrame {
    wire::FrameHeader header;
    Bytes payload;
    Bytes bytes;  // the whole frame, sync byte to trailer
};

// Cuts a byte stream into frames by the length field; bytes before a sync byte are skipped. Written apart
// from the SDK's frame reader so that tests do not check the SDK with its own parser.
class FrameCutter {
public:
    void add(std::span<const std::uint8_t> bytes) { pending_.insert(pending_.end(), bytes.begin(), bytes.end()); }
    // The next whole frame, if one is in.
    [[nodiscard]] std::optional<WireFrame> next();

private:
    Bytes pending_;
};

// Bytes of one frame with a zero trailer.
[[nodiscard]] Bytes encodeFrame(std::uint8_t seq, std::uint8_t block, std::uint8_t retry, std::uint8_t type,
                                std::span<const std::uint8_t> payload);

// A scan record: tag, scanner time, two doubles (zero), then the text and its zero byte.
[[nodiscard]] Bytes scanRecordBytes(const std::string& text, std::uint8_t tag = 0x11);

// A point where one thread stops until another opens it; both sides wait with a deadline.
class Gate {
public:
    // Blocks the calling thread here until open() (returns at once once opened).
    void pass();
    // The test: waits until a thread is held in pass(); false after `timeout`.
    [[nodiscard]] bool waitHeld(std::chrono::milliseconds timeout = std::chrono::seconds(5));
    void open();

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool held_ = false;
    bool open_ = false;
};

class MemoryScanner {
public:
    // Produces the response payload for a request, or nothing to stay silent.
    using Answer = std::function<std::optional<Bytes>(const WireFrame& request)>;
    // Runs on the scanner's thread for every request from the SDK, before it is answered.
    using RequestHook = std::function<void(const WireFrame& request)>;

    explicit MemoryScanner(int port, std::optional<bool> carrier = std::nullopt);
    ~MemoryScanner();
    MemoryScanner(const MemoryScanner&) = delete;
    MemoryScanner& operator=(const MemoryScanner&) = delete;

    // A new connection: the SDK's end of a fresh pipe, served from now on (an older one is hung up).
    [[nodiscard]] std::unique_ptr<Transport> connect();
    [[nodiscard]] int connections() const;
    [[nodiscard]] int port() const { return port_; }

    // Answering. Replaces the answer of `command`; an empty Answer silences the command.
    void teach(wire::Command command, Answer answer);
    void answerWith(wire::Command command, Bytes payload);
    // The next `requests` requests (of any command) get no answer.
    void staySilent(int requests);
    void onRequest(RequestHook hook);

    // Sending from the scanner's side, on the caller's thread. False when no SDK end is connected.
    bool sendRaw(std::span<const std::uint8_t> bytes);
    bool sendPacket(wire::PacketType type, std::span<const std::uint8_t> record, std::uint8_t seq = 0);
    bool sendResponse(const WireFrame& request, std::span<const std::uint8_t> payload);

    // Closes the scanner's end: the SDK reads what was sent, then sees the port lost.
    void hangUp();
    void setCarrier(bool on);
    // The SDK's next `count` writes fail with `status` (Lost: the link drops under the write).
    void failSdkWrites(int count, IoStatus status);
    // Waits until the SDK closed its end of the current connection.
    [[nodiscard]] bool waitClosedBySdk(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

    // Every frame received from the SDK, requests and acknowledgements, in order.
    [[nodiscard]] std::vector<WireFrame> frames() const;
    void clearFrames();
    // Waits until `condition` holds for the frames received; false after `timeout`.
    [[nodiscard]] bool waitForFrames(const std::function<bool(const std::vector<WireFrame>&)>& condition,
                                     std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    [[nodiscard]] bool waitForFrameCount(std::size_t count,
                                         std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

private:
    struct Connection;

    void serve(std::stop_token stop, std::shared_ptr<Connection> connection);
    void handle(const WireFrame& frame, MemoryEnd& from);
    [[nodiscard]] std::shared_ptr<Connection> current() const;
    void stopServing();

    const int port_;
    const std::optional<bool> carrier_;
    mutable std::mutex mutex_;
    mutable std::condition_variable cv_;
    std::map<std::uint8_t, Answer> answers_;
    int silentRequests_ = 0;
    RequestHook hook_;
    std::vector<WireFrame> frames_;
    std::shared_ptr<Connection> connection_;
    int connections_ = 0;
    std::vector<std::jthread> servers_;  // one per connection; joined when the scanner ends
};

// Scanners by port number, and the opener that connects the SDK to them: "COM5" opens scanner 5, a port
// without a scanner reports the device missing.
class MemoryPorts {
public:
    MemoryScanner& add(int port, std::optional<bool> carrier = std::nullopt);
    [[nodiscard]] MemoryScanner& scanner(int port) { return *scanners_.at(port); }
    // Valid while this object lives.
    [[nodiscard]] TransportOpener opener();

private:
    std::mutex mutex_;
    std::map<int, std::unique_ptr<MemoryScanner>> scanners_;
};

}  // namespace zt::sdk::test
