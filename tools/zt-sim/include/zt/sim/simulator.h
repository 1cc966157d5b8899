// Scanner simulator: plays scanners on pseudo-terminals so that the SDK can be driven without hardware.
//
// Each simulated scanner owns a pseudo-terminal pair and a link "COM<n>" in the simulator's folder that
// points at the terminal's slave side; the SDK opens that link when ZT_PORT_DIR names the folder. The
// scanner answers every command from its model (settings, clock, stored records), unless a test taught
// it a handler for the command; it records every frame it receives, and injects faults on demand.
#pragma once

#include "zt/protocol/wire.h"
#include "zt/sim/scanner_state.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zt::sim {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;

// One frame the scanner received, with the time its last byte arrived.
struct ReceivedFrame {
    Clock::time_point at;
    wire::FrameHeader header;
    Bytes payload;
};

// Produces the response payload for a request, or nothing to stay silent.
using CommandHandler =
    std::function<std::optional<Bytes>(const wire::FrameHeader& request, std::span<const std::uint8_t> payload)>;

// Changes a response (header and payload) before it is written; used for wrong codes, sequence numbers,
// retry or block bytes.
using ResponseMutation = std::function<void(wire::FrameHeader& header, Bytes& payload)>;

class SimScanner {
public:
    virtual ~SimScanner() = default;

    [[nodiscard]] virtual int port() const = 0;
    [[nodiscard]] virtual std::filesystem::path linkPath() const = 0;
    // The terminal the link points at now; empty while the scanner is away (after hangUp).
    [[nodiscard]] virtual std::filesystem::path terminalPath() const = 0;

    // Answering. A command nobody taught is answered by the scanner's model; a code the model does not
    // know is not answered. A taught handler replaces the model (or the previous handler) for that
    // command; teaching an empty handler gives the command back to the model.
    virtual void teach(wire::Command command, CommandHandler handler) = 0;

    // The model. Settings written by the SDK are read back; see defaultScannerState for the start.
    [[nodiscard]] virtual ScannerState state() const = 0;
    // Changes the state under the scanner's lock; `change` must not call the scanner.
    virtual void updateState(std::function<void(ScannerState&)> change) = 0;

    // The store of records that a collect exchange downloads. Adding or erasing records here (or by the
    // SDK's erase command) sets the storage status to the part of the store in use (kStoreCapacity
    // records make 100 %); updateState leaves it alone. Throws std::invalid_argument for a record whose
    // text does not fit one frame.
    virtual void addRecords(std::vector<StoredRecord> records) = 0;
    // Appends `count` generated records, texts "SIM<port>-<6-digit number>", each with its own time.
    // A negative count (here and in failCollectAfter) throws std::invalid_argument.
    virtual void fillRecords(int count) = 0;
    virtual void eraseRecords() = 0;
    [[nodiscard]] virtual std::vector<StoredRecord> records() const = 0;
    [[nodiscard]] virtual std::size_t recordCount() const = 0;
    // The next collect exchange answers its size header and `records` records, then no request of that
    // exchange any more, so the SDK times out. Used up by that exchange.
    virtual void failCollectAfter(int records) = 0;

    // Sends a scan (or deleted-data) packet with the text, stamped with the scanner's clock, tag and
    // values 0. The store does not change.
    virtual void sendScan(std::string_view text, bool deleted = false) = 0;

    // Faults, each for the next `requests` requests (every request frame counts, repeats included).
    // Faults queued for the same request combine; they are consumed in the order of the requests.
    virtual void staySilent(int requests) = 0;
    virtual void answerWrongCode(int requests) = 0;                      // type = (code + 1) & 0x7F
    virtual void answerWrongSeq(int requests) = 0;                       // seq + 1
    virtual void answerWithRetry(int requests, std::uint8_t retry) = 0;  // retry byte replaced
    virtual void mutateAnswers(int requests, ResponseMutation mutation) = 0;
    virtual void refuse(int requests) = 0;  // payload {0x01} (status 1: refused)
    virtual void splitAnswers(int requests, int pieces, std::chrono::milliseconds gap) = 0;
    virtual void noiseBeforeAnswers(int requests, Bytes noise) = 0;  // bytes written before the sync byte
    // A scanner packet (type with bit 7 set) written just before the answer to the next request.
    virtual void packetBeforeAnswer(wire::PacketType type, Bytes record) = 0;

    // Sends now, from the scanner side.
    virtual void sendPacket(wire::PacketType type, std::span<const std::uint8_t> record, std::uint8_t seq = 0) = 0;
    virtual void sendRaw(std::span<const std::uint8_t> bytes) = 0;

    // Wire speed of both directions in bits per second (10 bits a byte); 0 is unlimited.
    virtual void setBaud(unsigned baud) = 0;

    // Closes the terminal as a scanner that walks out of range does: the SDK side sees the port lost.
    virtual void hangUp() = 0;
    // After hangUp: a new terminal behind the same link, as a scanner that came back.
    virtual void comeBack() = 0;

    // Frames received so far (requests and acknowledgements), in arrival order.
    [[nodiscard]] virtual std::vector<ReceivedFrame> frames() const = 0;
    // Waits until at least `count` frames were received; false on time-out.
    [[nodiscard]] virtual bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const = 0;
    virtual void clearFrames() = 0;
};

class Simulator {
public:
    // Creates `linkDir` if needed. Links are removed again when the simulator ends.
    explicit Simulator(std::filesystem::path linkDir);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Starts a scanner behind "<linkDir>/COM<port>". Fails with std::runtime_error when the pseudo-terminal
    // cannot be made or the port is taken (std::invalid_argument for a port below 1).
    SimScanner& addScanner(int port);
    // Throws std::out_of_range for a port without a scanner.
    [[nodiscard]] SimScanner& scanner(int port);
    // The ports with a scanner, in increasing order.
    [[nodiscard]] std::vector<int> ports() const;
    [[nodiscard]] const std::filesystem::path& linkDir() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zt::sim
