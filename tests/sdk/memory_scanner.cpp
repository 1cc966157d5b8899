#include "memory_scanner.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace zt::sdk::test {

using namespace std::chrono_literals;

std::optional<WireFrame> FrameCutter::next() {
    const auto sync = std::ranges::find(pending_, wire::kSync);
    pending_.erase(pending_.begin(), sync);
    if (pending_.size() < wire::kHeaderSize) return std::nullopt;
    const auto header = wire::FrameHeader::decode(std::span(pending_).first<wire::kHeaderSize>());
    const std::size_t size = wire::kHeaderSize + header.length + wire::kTrailerSize;
    if (pending_.size() < size) return std::nullopt;
    WireFrame frame{header,
                    Bytes(pending_.begin() + wire::kHeaderSize, pending_.begin() + wire::kHeaderSize + header.length),
                    Bytes(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size))};
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(size));
    return frame;
}

Bytes encodeFrame(std::uint8_t seq, std::uint8_t block, std::uint8_t retry, std::uint8_t type,
                  std::span<const std::uint8_t> payload) {
    Bytes out{wire::kSync,
              seq,
              block,
              retry,
              type,
              static_cast<std::uint8_t>(payload.size() & 0xFF),
              static_cast<std::uint8_t>(payload.size() >> 8)};
    for (const std::uint8_t b : payload) out.push_back(b);
    out.push_back(0);
    out.push_back(0);
    return out;
}

Bytes scanRecordBytes(const std::string& text, std::uint8_t tag) {
    Bytes r{tag, 126, 0, 2, 10, 20, 30, 6};
    r.resize(wire::kScanRecordHeadSize, 0);
    r.insert(r.end(), text.begin(), text.end());
    r.push_back(0);
    return r;
}

void Gate::pass() {
    std::unique_lock lock(mutex_);
    held_ = true;
    cv_.notify_all();
    // Bounded, so that a test that forgets to open the gate fails instead of hanging the suite.
    (void)cv_.wait_for(lock, 30s, [this] { return open_; });
}

bool Gate::waitHeld(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [this] { return held_; });
}

void Gate::open() {
    {
        std::lock_guard lock(mutex_);
        open_ = true;
    }
    cv_.notify_all();
}

struct MemoryScanner::Connection {
    std::unique_ptr<MemoryEnd> peer;
};

MemoryScanner::MemoryScanner(int port, std::optional<bool> carrier) : port_(port), carrier_(carrier) {
    answerWith(wire::Command::Handshake, Bytes{wire::kStatusDone});
}

MemoryScanner::~MemoryScanner() { stopServing(); }

void MemoryScanner::stopServing() {
    std::vector<std::jthread> servers;
    {
        std::lock_guard lock(mutex_);
        servers.swap(servers_);
    }
    servers.clear();  // requests stop (which cancels each peer end's waits) and joins
}

std::unique_ptr<Transport> MemoryScanner::connect() {
    auto pipe = MemoryPipe::create(carrier_);
    auto connection = std::make_shared<Connection>();
    connection->peer = std::move(pipe.peerEnd);
    std::lock_guard lock(mutex_);
    // The previous connection's server is stopped but not joined here: it may be held in a request hook.
    if (connection_) {
        connection_->peer->hangUp();
        if (!servers_.empty()) servers_.back().request_stop();
    }
    connection_ = connection;
    ++connections_;
    servers_.emplace_back([this, connection](std::stop_token stop) { serve(std::move(stop), connection); });
    return std::move(pipe.sdkEnd);
}

int MemoryScanner::connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

void MemoryScanner::serve(std::stop_token stop, std::shared_ptr<Connection> connection) {
    MemoryEnd& peer = *connection->peer;
    std::stop_callback onStop(stop, [&peer] { peer.cancel(); });
    FrameCutter cutter;
    std::array<std::uint8_t, 4096> buffer{};
    for (;;) {
        IoStatus status = peer.waitReadable(std::chrono::milliseconds(-1));
        if (status == IoStatus::TimedOut) continue;  // the carrier line changed
        std::size_t got = 0;
        if (status == IoStatus::Ok) status = peer.read(buffer, got, 0ms);
        if (status != IoStatus::Ok) return;
        cutter.add(std::span(buffer).first(got));
        while (auto frame = cutter.next()) handle(*frame, peer);
    }
}

void MemoryScanner::handle(const WireFrame& frame, MemoryEnd& from) {
    RequestHook hook;
    Answer answer;
    bool silent = false;
    {
        std::lock_guard lock(mutex_);
        frames_.push_back(frame);
        if (frame.header.isRequest()) {
            hook = hook_;
            silent = silentRequests_ > 0;
            if (silent) --silentRequests_;
            if (const auto it = answers_.find(frame.header.code()); it != answers_.end()) answer = it->second;
        }
    }
    cv_.notify_all();
    if (!frame.header.isRequest()) return;
    if (hook) hook(frame);
    if (silent || !answer) return;
    // Answered on the connection the request came from, even if the SDK has opened a new one since.
    if (const auto payload = answer(frame)) {
        const auto& h = frame.header;
        (void)from.writeAll(encodeFrame(h.seq, h.block, h.retry, h.code(), *payload), 0ms);
    }
}

std::shared_ptr<MemoryScanner::Connection> MemoryScanner::current() const {
    std::lock_guard lock(mutex_);
    return connection_;
}

void MemoryScanner::teach(wire::Command command, Answer answer) {
    std::lock_guard lock(mutex_);
    answers_[static_cast<std::uint8_t>(command)] = std::move(answer);
}

void MemoryScanner::answerWith(wire::Command command, Bytes payload) {
    teach(command, [payload](const WireFrame&) { return std::optional<Bytes>(payload); });
}

void MemoryScanner::staySilent(int requests) {
    std::lock_guard lock(mutex_);
    silentRequests_ = requests;
}

void MemoryScanner::onRequest(RequestHook hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
}

bool MemoryScanner::sendRaw(std::span<const std::uint8_t> bytes) {
    const auto connection = current();
    return connection && connection->peer->writeAll(bytes, 0ms) == IoStatus::Ok;
}

bool MemoryScanner::sendPacket(wire::PacketType type, std::span<const std::uint8_t> record, std::uint8_t seq) {
    const auto typeByte = static_cast<std::uint8_t>(static_cast<std::uint8_t>(type) | wire::kRequestBit);
    return sendRaw(encodeFrame(seq, 0, 0, typeByte, record));
}

bool MemoryScanner::sendResponse(const WireFrame& request, std::span<const std::uint8_t> payload) {
    const auto& h = request.header;
    return sendRaw(encodeFrame(h.seq, h.block, h.retry, h.code(), payload));
}

void MemoryScanner::hangUp() {
    if (const auto connection = current()) connection->peer->hangUp();
}

void MemoryScanner::setCarrier(bool on) {
    if (const auto connection = current()) connection->peer->setCarrier(on);
}

void MemoryScanner::failSdkWrites(int count, IoStatus status) {
    if (const auto connection = current()) connection->peer->failOtherEndWrites(count, status);
}

bool MemoryScanner::waitClosedBySdk(std::chrono::milliseconds timeout) const {
    const auto connection = current();
    return connection && connection->peer->waitForHangUp(timeout);
}

std::vector<WireFrame> MemoryScanner::frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

void MemoryScanner::clearFrames() {
    std::lock_guard lock(mutex_);
    frames_.clear();
}

bool MemoryScanner::waitForFrames(const std::function<bool(const std::vector<WireFrame>&)>& condition,
                                  std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, timeout, [&] { return condition(frames_); });
}

bool MemoryScanner::waitForFrameCount(std::size_t count, std::chrono::milliseconds timeout) const {
    return waitForFrames([count](const auto& frames) { return frames.size() >= count; }, timeout);
}

MemoryScanner& MemoryPorts::add(int port, std::optional<bool> carrier) {
    std::lock_guard lock(mutex_);
    auto& slot = scanners_[port];
    slot = std::make_unique<MemoryScanner>(port, carrier);
    return *slot;
}

TransportOpener MemoryPorts::opener() {
    return [this](std::string_view name, OpenError& error) -> std::unique_ptr<Transport> {
        int number = -1;
        if (name.size() > 3 && name.substr(0, 3) == "COM") {
            (void)std::from_chars(name.data() + 3, name.data() + name.size(), number);
        }
        std::lock_guard lock(mutex_);
        const auto it = scanners_.find(number);
        if (it == scanners_.end()) {
            error = OpenError::DeviceMissing;
            return nullptr;
        }
        return it->second->connect();
    };
}

}  // namespace zt::sdk::test
