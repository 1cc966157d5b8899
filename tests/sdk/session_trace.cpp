#include "session_trace.h"

#include <array>
#include <charconv>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zt::sdk::test {

using namespace std::chrono_literals;

namespace {

constexpr auto kStepDeadline = 5s;  // for each step the SDK must take; a hung SDK fails the replay
constexpr auto kReadSlice = 50ms;   // reads are cut into slices so that the peer can be stopped

Bytes parseHex(const std::string& text) {
    Bytes out;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value, 16);
        if (ec != std::errc{} || end != word.data() + word.size() || value > 0xFF) {
            throw std::runtime_error("bad byte in trace: " + word);
        }
        out.push_back(static_cast<std::uint8_t>(value));
    }
    return out;
}

}  // namespace

std::string hexBytes(std::span<const std::uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    for (const std::uint8_t b : bytes) {
        if (!out.empty()) out.push_back(' ');
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 0xF]);
    }
    return out;
}

std::vector<std::string> SessionTrace::outputs() const {
    std::vector<std::string> out;
    for (const auto& step : steps) {
        if (step.kind == TraceStep::Kind::Output) out.push_back(step.text);
    }
    return out;
}

SessionTrace SessionTrace::load(const std::filesystem::path& file) {
    std::ifstream in(file);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    SessionTrace trace;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const std::string rest = line.size() > 2 ? line.substr(2) : std::string();
        switch (line[0]) {
            case '#': trace.comments.push_back(rest); break;
            case '>': trace.steps.push_back({TraceStep::Kind::FromSdk, parseHex(rest), {}}); break;
            case '<': trace.steps.push_back({TraceStep::Kind::ToSdk, parseHex(rest), {}}); break;
            case '=': trace.steps.push_back({TraceStep::Kind::Output, {}, rest}); break;
            case '!':
                if (rest == "open")
                    trace.steps.push_back({TraceStep::Kind::Open, {}, {}});
                else if (rest == "hangup")
                    trace.steps.push_back({TraceStep::Kind::HangUp, {}, {}});
                else if (rest == "close")
                    trace.steps.push_back({TraceStep::Kind::Close, {}, {}});
                else
                    throw std::runtime_error("unknown event in trace: " + line);
                break;
            default: throw std::runtime_error("unknown line in trace: " + line);
        }
    }
    return trace;
}

void SessionTrace::save(const std::filesystem::path& file) const {
    std::ofstream out(file);
    for (const auto& c : comments) out << "# " << c << '\n';
    for (const auto& step : steps) {
        switch (step.kind) {
            case TraceStep::Kind::Open: out << "! open\n"; break;
            case TraceStep::Kind::FromSdk: out << "> " << hexBytes(step.bytes) << '\n'; break;
            case TraceStep::Kind::ToSdk: out << "< " << hexBytes(step.bytes) << '\n'; break;
            case TraceStep::Kind::HangUp: out << "! hangup\n"; break;
            case TraceStep::Kind::Close: out << "! close\n"; break;
            case TraceStep::Kind::Output: out << "= " << step.text << '\n'; break;
        }
    }
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

namespace {

// A transport that reports everything crossing it to the recorder.
class RecordingTransport final : public Transport {
public:
    RecordingTransport(std::unique_ptr<Transport> inner, TraceRecorder& recorder)
        : inner_(std::move(inner)), recorder_(recorder) {}
    ~RecordingTransport() override { recorder_.closed(); }

    IoStatus waitReadable(std::chrono::milliseconds timeout) override { return seen(inner_->waitReadable(timeout)); }
    IoStatus read(std::span<std::uint8_t> buffer, std::size_t& got, std::chrono::milliseconds timeout) override {
        const IoStatus status = inner_->read(buffer, got, timeout);
        if (status == IoStatus::Ok) recorder_.read(buffer.first(got));
        return seen(status);
    }
    IoStatus writeAll(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout) override {
        const IoStatus status = inner_->writeAll(bytes, timeout);
        if (status == IoStatus::Ok) recorder_.wrote(bytes);
        return status;
    }
    [[nodiscard]] std::optional<bool> carrierDetect() const override { return inner_->carrierDetect(); }
    void cancel() override { inner_->cancel(); }

private:
    IoStatus seen(IoStatus status) {
        if (status == IoStatus::Lost) recorder_.lost();
        return status;
    }
    std::unique_ptr<Transport> inner_;
    TraceRecorder& recorder_;
};

}  // namespace

TransportOpener TraceRecorder::opener(TransportOpener inner) {
    return [this, inner = std::move(inner)](std::string_view name, OpenError& error) -> std::unique_ptr<Transport> {
        auto transport = inner(name, error);
        if (!transport) return nullptr;
        opened();
        return std::make_unique<RecordingTransport>(std::move(transport), *this);
    };
}

SessionTrace TraceRecorder::trace() const {
    std::lock_guard lock(mutex_);
    SessionTrace trace;
    trace.steps = steps_;
    return trace;
}

void TraceRecorder::opened() {
    std::lock_guard lock(mutex_);
    steps_.push_back({TraceStep::Kind::Open, {}, {}});
    lostReported_ = false;
}

void TraceRecorder::wrote(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    fromSdk_.add(bytes);
    while (auto frame = fromSdk_.next()) steps_.push_back({TraceStep::Kind::FromSdk, frame->bytes, {}});
}

void TraceRecorder::read(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    toSdk_.add(bytes);
    while (auto frame = toSdk_.next()) steps_.push_back({TraceStep::Kind::ToSdk, frame->bytes, {}});
}

void TraceRecorder::lost() {
    std::lock_guard lock(mutex_);
    if (lostReported_) return;
    lostReported_ = true;
    steps_.push_back({TraceStep::Kind::HangUp, {}, {}});
}

void TraceRecorder::closed() {
    std::lock_guard lock(mutex_);
    steps_.push_back({TraceStep::Kind::Close, {}, {}});
}

ReplayPeer::ReplayPeer(SessionTrace trace) : trace_(std::move(trace)) {
    thread_ = std::jthread([this](std::stop_token stop) { run(std::move(stop)); });
}

ReplayPeer::~ReplayPeer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    cv_.notify_all();
    thread_.request_stop();
}

TransportOpener ReplayPeer::opener() {
    return [this](std::string_view, OpenError&) -> std::unique_ptr<Transport> {
        auto pipe = MemoryPipe::create();
        {
            std::lock_guard lock(mutex_);
            waiting_.push_back(std::move(pipe.peerEnd));
        }
        cv_.notify_all();
        return std::move(pipe.sdkEnd);
    };
}

std::string ReplayPeer::finish(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, timeout, [this] { return done_; })) return "the replay did not finish";
    return failure_;
}

void ReplayPeer::run(std::stop_token stop) {
    std::string failure;
    for (std::size_t i = 0; i < trace_.steps.size() && failure.empty() && !stop.stop_requested(); ++i) {
        failure = play(trace_.steps[i], i);
    }
    {
        std::lock_guard lock(mutex_);
        failure_ = failure;
        done_ = true;
    }
    cv_.notify_all();
}

void ReplayPeer::cue() {
    {
        std::lock_guard lock(mutex_);
        ++cues_;
    }
    cv_.notify_all();
}

bool ReplayPeer::waitForAcknowledgements(int count) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, kStepDeadline, [&] { return acknowledgements_ >= count || done_; }) &&
           acknowledgements_ >= count;
}

bool ReplayPeer::takeCue() {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, kStepDeadline, [this] { return cues_ > 0 || stopping_; }) || cues_ == 0) return false;
    --cues_;
    return true;
}

std::unique_ptr<MemoryEnd> ReplayPeer::nextConnection() {
    std::unique_lock lock(mutex_);
    if (!cv_.wait_for(lock, kStepDeadline, [this] { return !waiting_.empty() || stopping_; })) return nullptr;
    if (waiting_.empty()) return nullptr;
    auto end = std::move(waiting_.front());
    waiting_.erase(waiting_.begin());
    return end;
}

std::string ReplayPeer::play(const TraceStep& step, std::size_t index) {
    const std::string where = "step " + std::to_string(index + 1) + ": ";
    if (step.kind == TraceStep::Kind::Output) return {};
    if (step.kind == TraceStep::Kind::Open) {
        current_ = nextConnection();
        fromSdk_ = FrameCutter{};
        return current_ ? std::string() : where + "the SDK did not open the port";
    }
    if (!current_) return where + "no connection";
    const bool scannerStarts =
        step.kind == TraceStep::Kind::HangUp ||
        (step.kind == TraceStep::Kind::ToSdk && step.bytes.size() > 4 && (step.bytes[4] & wire::kRequestBit) != 0);
    if (scannerStarts && !takeCue()) return where + "the session never asked the scanner for this";
    switch (step.kind) {
        case TraceStep::Kind::ToSdk:
            return current_->writeAll(step.bytes, 0ms) == IoStatus::Ok ? std::string() : where + "the SDK end is gone";
        case TraceStep::Kind::HangUp: current_->hangUp(); return {};
        case TraceStep::Kind::Close: {
            if (!current_->waitForHangUp(kStepDeadline)) return where + "the SDK did not close the port";
            std::array<std::uint8_t, 512> rest{};
            std::size_t got = 0;
            if (current_->read(rest, got, 0ms) == IoStatus::Ok) {
                fromSdk_.add(std::span(rest).first(got));
            }
            if (auto extra = fromSdk_.next()) return where + "the SDK wrote more: " + hexBytes(extra->bytes);
            return {};
        }
        default: break;
    }
    // A frame from the SDK: read until one is in.
    const auto deadline = std::chrono::steady_clock::now() + kStepDeadline;
    std::array<std::uint8_t, 512> buffer{};
    for (;;) {
        if (auto frame = fromSdk_.next()) {
            if (frame->bytes == step.bytes) {
                if (!frame->header.isRequest()) {
                    {
                        std::lock_guard lock(mutex_);
                        ++acknowledgements_;
                    }
                    cv_.notify_all();
                }
                return {};
            }
            return where + "expected > " + hexBytes(step.bytes) + "\n got     > " + hexBytes(frame->bytes);
        }
        if (std::chrono::steady_clock::now() > deadline) return where + "no frame; expected > " + hexBytes(step.bytes);
        std::size_t got = 0;
        const IoStatus status = current_->read(buffer, got, kReadSlice);
        if (status == IoStatus::Ok) fromSdk_.add(std::span(buffer).first(got));
        if (status == IoStatus::Lost) return where + "the SDK closed the port; expected > " + hexBytes(step.bytes);
    }
}

}  // namespace zt::sdk::test
