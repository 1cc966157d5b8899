// Recorded sessions: a trace of the frames that crossed a scanner's port, and the outputs the SDK gave
// its caller, kept as golden files that later builds are replayed against.
//
// A trace file is text, one step a line:
//   ! open          the SDK opened the port
//   > 7e 00 ...     a frame the SDK wrote, byte for byte
//   < 7e 00 ...     a frame the scanner sent
//   ! hangup        the scanner went away (the SDK saw the port lost)
//   ! close         the SDK closed the port
//   = text          an output the SDK gave its caller (a result, a callback), in order
//   # text          a comment
#pragma once

#include "memory_scanner.h"
#include "transport/transport.h"

#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zt::sdk::test {

struct TraceStep {
    enum class Kind { Open, FromSdk, ToSdk, HangUp, Close, Output } kind = Kind::Output;
    Bytes bytes;       // FromSdk, ToSdk
    std::string text;  // Output
    friend bool operator==(const TraceStep&, const TraceStep&) = default;
};

struct SessionTrace {
    std::vector<std::string> comments;
    std::vector<TraceStep> steps;

    [[nodiscard]] std::vector<std::string> outputs() const;
    // Throws std::runtime_error for a file that cannot be read or a line it does not understand.
    [[nodiscard]] static SessionTrace load(const std::filesystem::path& file);
    void save(const std::filesystem::path& file) const;
};

[[nodiscard]] std::string hexBytes(std::span<const std::uint8_t> bytes);

// Records a session: wraps the transports that `inner` opens and cuts what crosses them into frames.
class TraceRecorder {
public:
    [[nodiscard]] TransportOpener opener(TransportOpener inner);
    [[nodiscard]] SessionTrace trace() const;

    // Called by the recording transports.
    void opened();
    void wrote(std::span<const std::uint8_t> bytes);
    void read(std::span<const std::uint8_t> bytes);
    void lost();
    void closed();

private:
    mutable std::mutex mutex_;
    FrameCutter fromSdk_;
    FrameCutter toSdk_;
    std::vector<TraceStep> steps_;
    bool lostReported_ = false;
};

// Plays the scanner's side of a trace against the SDK over in-memory pipes: sends the scanner's frames,
// hangs up where the scanner did, and checks every frame the SDK writes against the trace, byte for byte.
class ReplayPeer {
public:
    explicit ReplayPeer(SessionTrace trace);
    ~ReplayPeer();
    ReplayPeer(const ReplayPeer&) = delete;
    ReplayPeer& operator=(const ReplayPeer&) = delete;

    [[nodiscard]] TransportOpener opener();
    // What the scanner starts by itself (a packet, a hang-up) is played only when the session asks for
    // it, one cue each, so the replay keeps the order of the recording.
    void cue();
    // Waits until the SDK has written `count` acknowledgements that matched the trace.
    [[nodiscard]] bool waitForAcknowledgements(int count);
    // Waits until the whole trace was played; the first difference found, or empty when there was none.
    [[nodiscard]] std::string finish(std::chrono::milliseconds timeout = std::chrono::seconds(10));

private:
    void run(std::stop_token stop);
    [[nodiscard]] std::string play(const TraceStep& step, std::size_t index);
    [[nodiscard]] std::unique_ptr<MemoryEnd> nextConnection();
    [[nodiscard]] bool takeCue();

    const SessionTrace trace_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::unique_ptr<MemoryEnd>> waiting_;  // peer ends of connections not yet played
    std::unique_ptr<MemoryEnd> current_;
    FrameCutter fromSdk_;
    bool done_ = false;
    bool stopping_ = false;
    int cues_ = 0;
    int acknowledgements_ = 0;
    std::string failure_;
    std::jthread thread_;
};

}  // namespace zt::sdk::test
