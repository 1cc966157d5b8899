// A simulated scanner: its link, what it keeps across hang-ups, and its current terminal session.
#pragma once

#include "port_link.h"
#include "scanner_core.h"
#include "session.h"
#include "zt/sim/simulator.h"

#include <memory>
#include <mutex>

namespace zt::sim {

class Scanner final : public SimScanner {
public:
    Scanner(int port, std::filesystem::path link);  // in range from the start; throws std::runtime_error
    ~Scanner() override;

    [[nodiscard]] int port() const override { return port_; }
    [[nodiscard]] std::filesystem::path linkPath() const override { return link_.path(); }
    [[nodiscard]] std::filesystem::path terminalPath() const override;

    void teach(wire::Command command, CommandHandler handler) override;

    [[nodiscard]] ScannerState state() const override { return core_.model.state(); }
    void updateState(std::function<void(ScannerState&)> change) override { core_.model.update(change); }
    void addRecords(std::vector<StoredRecord> records) override { core_.model.addRecords(std::move(records)); }
    void fillRecords(int count) override;
    void eraseRecords() override { core_.model.eraseRecords(); }
    [[nodiscard]] std::vector<StoredRecord> records() const override { return core_.model.records(); }
    [[nodiscard]] std::size_t recordCount() const override { return core_.model.recordCount(); }
    void failCollectAfter(int records) override;
    void sendScan(std::string_view text, bool deleted) override;

    void staySilent(int requests) override;
    void answerWrongCode(int requests) override;
    void answerWrongSeq(int requests) override;
    void answerWithRetry(int requests, std::uint8_t retry) override;
    void mutateAnswers(int requests, ResponseMutation mutation) override;
    void refuse(int requests) override;
    void splitAnswers(int requests, int pieces, std::chrono::milliseconds gap) override;
    void noiseBeforeAnswers(int requests, Bytes noise) override;
    void packetBeforeAnswer(wire::PacketType type, Bytes record) override;

    void sendPacket(wire::PacketType type, std::span<const std::uint8_t> record, std::uint8_t seq) override;
    void sendRaw(std::span<const std::uint8_t> bytes) override;
    void setBaud(unsigned baud) override { core_.baud.store(baud); }

    void hangUp() override;
    void comeBack() override;

    [[nodiscard]] std::vector<ReceivedFrame> frames() const override { return core_.log.snapshot(); }
    [[nodiscard]] bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout) const override {
        return core_.log.waitFor(count, timeout);
    }
    void clearFrames() override { core_.log.clear(); }

private:
    void send(Bytes bytes);
    void addFault(int requests, FaultPlan::Apply apply) { core_.responder.faults().add(requests, std::move(apply)); }

    int port_;
    PortLink link_;
    ScannerCore core_;
    std::mutex lifeMutex_;             // one hang-up or come-back at a time; never taken by the worker
    mutable std::mutex sessionMutex_;  // guards the pointer only, so a worker may send while one hangs up
    std::unique_ptr<Session> session_;
};

}  // namespace zt::sim
