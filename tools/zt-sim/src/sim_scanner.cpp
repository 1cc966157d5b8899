#include "sim_scanner.h"

#include "frame_builder.h"
#include "scan_record.h"

#include <stdexcept>

namespace zt::sim {

Scanner::Scanner(int port, std::filesystem::path link) : port_(port), link_(std::move(link)), core_(port) {
    comeBack();
}

// The session ends before the state its worker uses and before the link is removed. It is destroyed
// outside the lock, since a handler running on the worker may still be sending.
Scanner::~Scanner() {
    std::unique_ptr<Session> ending;
    const std::lock_guard lock(sessionMutex_);
    ending = std::move(session_);
}

std::filesystem::path Scanner::terminalPath() const {
    const std::lock_guard lock(sessionMutex_);
    return session_ ? session_->slavePath() : std::filesystem::path{};
}

void Scanner::teach(wire::Command command, CommandHandler handler) {
    core_.responder.teach(command, std::move(handler));
}

void Scanner::fillRecords(int count) {
    if (count < 0) throw std::invalid_argument("zt-sim: cannot fill a negative number of records");
    core_.model.fillRecords(static_cast<std::size_t>(count));
}

void Scanner::failCollectAfter(int records) {
    if (records < 0) throw std::invalid_argument("zt-sim: a collect cannot fail after a negative number of records");
    core_.model.failCollectAfter(static_cast<std::size_t>(records));
}

void Scanner::sendScan(std::string_view text, bool deleted) {
    Bytes record;
    appendScanRecord(record, core_.model.scanNow(text));
    sendPacket(deleted ? wire::PacketType::DeletedData : wire::PacketType::ScanData, record, 0);
}

void Scanner::staySilent(int requests) {
    addFault(requests, [](RequestFaults& f) { f.silent = true; });
}

void Scanner::answerWrongCode(int requests) {
    addFault(requests, [](RequestFaults& f) { f.wrongCode = true; });
}

void Scanner::answerWrongSeq(int requests) {
    addFault(requests, [](RequestFaults& f) { f.wrongSeq = true; });
}

void Scanner::answerWithRetry(int requests, std::uint8_t retry) {
    addFault(requests, [retry](RequestFaults& f) { f.retry = retry; });
}

void Scanner::mutateAnswers(int requests, ResponseMutation mutation) {
    addFault(requests, [mutation = std::move(mutation)](RequestFaults& f) { f.mutations.push_back(mutation); });
}

void Scanner::refuse(int requests) {
    addFault(requests, [](RequestFaults& f) { f.refused = true; });
}

void Scanner::splitAnswers(int requests, int pieces, std::chrono::milliseconds gap) {
    addFault(requests, [pieces, gap](RequestFaults& f) {
        f.pieces = pieces;
        f.gap = gap;
    });
}

void Scanner::noiseBeforeAnswers(int requests, Bytes noise) {
    addFault(requests, [noise = std::move(noise)](RequestFaults& f) {
        f.noise.insert(f.noise.end(), noise.begin(), noise.end());
    });
}

void Scanner::packetBeforeAnswer(wire::PacketType type, Bytes record) {
    addFault(1, [type, record = std::move(record)](RequestFaults& f) { f.packetsBefore.push_back({type, record}); });
}

void Scanner::sendPacket(wire::PacketType type, std::span<const std::uint8_t> record, std::uint8_t seq) {
    auto frame = buildPacket(type, record, seq);
    if (!frame) throw std::invalid_argument("zt-sim: record too long for one frame");
    send(std::move(*frame));
}

void Scanner::sendRaw(std::span<const std::uint8_t> bytes) { send(Bytes(bytes.begin(), bytes.end())); }

void Scanner::send(Bytes bytes) {
    const std::lock_guard lock(sessionMutex_);
    if (session_) session_->send(std::move(bytes));  // while away, sends are lost
}

void Scanner::hangUp() {
    const std::lock_guard life(lifeMutex_);
    std::unique_ptr<Session> ending;
    {
        const std::lock_guard lock(sessionMutex_);
        ending = std::move(session_);
    }
    if (!ending) return;
    // Away first: the terminal's name may be handed out again once it closes.
    link_.pointAway();
    ending.reset();
}

void Scanner::comeBack() {
    const std::lock_guard life(lifeMutex_);
    {
        const std::lock_guard lock(sessionMutex_);
        if (session_) return;
    }
    auto starting = std::make_unique<Session>(core_);
    link_.pointAt(starting->slavePath());
    const std::lock_guard lock(sessionMutex_);
    session_ = std::move(starting);
}

}  // namespace zt::sim
