// Recorded sessions replayed against the SDK: a download, live scans and a reconnect. Each golden file in
// golden/ holds the frames that crossed the port and the outputs the SDK gave its caller. The replay
// plays the scanner's side from the file, checks every frame the SDK writes byte for byte, and compares
// the SDK's outputs with the recorded ones. A change of the wire behaviour shows here as a difference.
//
// To record the goldens again (after an intended change of the wire behaviour), run this program with
// ZT_GOLDEN_RECORD=1: each session then runs against the simulator on a pseudo-terminal, and its trace is
// written over the golden file.
#include "session/session_registry.h"
#include "session_trace.h"
#include "sim_fixture.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <ostream>

namespace zt::sdk::test {
namespace {

// What a session asks of the scanner. Recording asks the simulator; a replay lets the peer play the
// next thing the scanner did on its own, which the trace holds.
class ScannerSide {
public:
    virtual ~ScannerSide() = default;
    virtual void addRecords(std::vector<sim::StoredRecord>) {}
    virtual void sendScan(std::string_view, bool /*deleted*/) {}
    virtual void hangUp() {}
    virtual void comeBack() {}
    // Waits until the scanner has received `count` acknowledgements of its packets. The SDK writes an
    // acknowledgement on its receive thread after it handed the packet on, so a call made from the
    // callback's news could otherwise reach the scanner first.
    [[nodiscard]] virtual bool waitForAcknowledgements(int) { return true; }
};

class ReplaySide final : public ScannerSide {
public:
    explicit ReplaySide(ReplayPeer& peer) : peer_(peer) {}
    void sendScan(std::string_view, bool) override { peer_.cue(); }
    void hangUp() override { peer_.cue(); }
    bool waitForAcknowledgements(int count) override { return peer_.waitForAcknowledgements(count); }

private:
    ReplayPeer& peer_;
};

class SimSide final : public ScannerSide {
public:
    explicit SimSide(sim::SimScanner& scanner) : scanner_(scanner) {}
    void addRecords(std::vector<sim::StoredRecord> records) override { scanner_.addRecords(std::move(records)); }
    void sendScan(std::string_view text, bool deleted) override { scanner_.sendScan(text, deleted); }
    void hangUp() override { scanner_.hangUp(); }
    void comeBack() override { scanner_.comeBack(); }
    bool waitForAcknowledgements(int count) override {
        return scanner_.waitForFrames(static_cast<std::size_t>(count) + 1, 5000ms);  // after the handshake
    }

private:
    sim::SimScanner& scanner_;
};

// The outputs of one session, from the calls and from the callbacks (which are plain functions).
class Outputs {
public:
    static Outputs& instance() {
        static Outputs outputs;
        return outputs;
    }
    void reset() {
        waiter_.notify([&] { lines_.clear(); });
    }
    void add(std::string line) {
        waiter_.notify([&] { lines_.push_back(std::move(line)); });
    }
    // Waits until `count` outputs were given.
    [[nodiscard]] bool waitFor(std::size_t count) {
        return waiter_.waitUntil([&] { return lines_.size() >= count; });
    }
    std::vector<std::string> lines() {
        return waiter_.read([&] { return lines_; });
    }
    [[nodiscard]] std::size_t size() {
        return waiter_.read([&] { return lines_.size(); });
    }

private:
    Waiter waiter_;
    std::vector<std::string> lines_;
};

std::string format(const char* name, int result, const std::string& rest = {}) {
    return std::string(name) + " " + ztResultName(result) + (rest.empty() ? "" : " " + rest);
}

void onLost(::ScannerHandle) { Outputs::instance().add("disconnected"); }
void onScan(::ScannerHandle, const unsigned char* record, int length, int deleted) {
    Outputs::instance().add("scan length " + std::to_string(length) + " deleted " + std::to_string(deleted) +
                            " record " + hexBytes(std::span(record, static_cast<std::size_t>(length))));
}
void onProgress(int total, int received) {
    Outputs::instance().add("progress " + std::to_string(total) + " " + std::to_string(received));
}

::ScannerHandle open(unsigned port) {
    int error = 1;
    ::ScannerHandle handle = ztInitialize(port, &error, onLost, onScan);
    Outputs::instance().add(format("ztInitialize", error));
    return handle;
}

void close(::ScannerHandle handle) { Outputs::instance().add(format("ztDeinitialize", ztDeinitialize(handle, 0))); }

void battery(::ScannerHandle handle) {
    int first = -1, second = -1;
    const int r = ztGetBatteryStatus(handle, &first, &second);
    Outputs::instance().add(format("ztGetBatteryStatus", r, std::to_string(first) + " " + std::to_string(second)));
}

// Three stored records downloaded newest first, with the storage status before.
void download(ScannerSide& scanner) {
    scanner.addRecords({{0x21, sim::makeScannerTime(2026, 3, 14, 9, 26, 53), 1.5, -2.25, "4006381333931"},
                        {0x22, sim::makeScannerTime(2026, 3, 14, 9, 27, 0), 0, 0, "ABC-123 \x7e!"},
                        {0x23, sim::makeScannerTime(2026, 3, 13, 18, 0, 5), 3.0, 4.0, ""}});
    ::ScannerHandle h = open(5);
    ASSERT_NE(h, nullptr);
    int storage = -1;
    const int r = ztGetStorageStatus(h, &storage);
    Outputs::instance().add(format("ztGetStorageStatus", r, std::to_string(storage)));
    int count = -1;
    const int collected = ztPrepareCollecting(h, &count, onProgress);
    Outputs::instance().add(format("ztPrepareCollecting", collected, std::to_string(count)));
    for (int i = 0; i < count; ++i) {
        int tag = 0, length = 0;
        std::array<unsigned char, 7> time{};
        double v1 = 0, v2 = 0;
        std::array<char, 3072> text{};
        const int got = ztCollectingOnce(h, i, &tag, time.data(), &v1, &v2, text.data(), &length);
        char values[64];
        std::snprintf(values, sizeof values, "%g %g", v1, v2);
        Outputs::instance().add(format("ztCollectingOnce", got,
                                       std::to_string(tag) + " time " + hexBytes(time) + " " + values + " text " +
                                           hexBytes(std::span(reinterpret_cast<const std::uint8_t*>(text.data()),
                                                              static_cast<std::size_t>(length)))));
    }
    close(h);
}

// A scan and a deleted-data report while the handle is idle, each acknowledged and delivered.
void liveScan(ScannerSide& scanner) {
    ::ScannerHandle h = open(5);
    ASSERT_NE(h, nullptr);
    scanner.sendScan("4006381333931", false);
    ASSERT_TRUE(Outputs::instance().waitFor(2));
    ASSERT_TRUE(scanner.waitForAcknowledgements(1));
    scanner.sendScan("DELETED-7", true);
    ASSERT_TRUE(Outputs::instance().waitFor(3));
    ASSERT_TRUE(scanner.waitForAcknowledgements(2));
    battery(h);
    close(h);
}

// The scanner goes away; the handle is reported lost; a new open of the port starts a new link (its
// sequence numbers start again at 0) and works.
void reconnect(ScannerSide& scanner) {
    ::ScannerHandle h = open(5);
    ASSERT_NE(h, nullptr);
    battery(h);
    scanner.hangUp();
    ASSERT_TRUE(Outputs::instance().waitFor(3));  // disconnected
    scanner.comeBack();
    h = open(5);
    ASSERT_NE(h, nullptr);
    battery(h);
    close(h);
}

struct Session {
    const char* name;
    const char* what;
    void (*run)(ScannerSide&);
};

void PrintTo(const Session& session, std::ostream* out) { *out << session.name; }

const Session kSessions[] = {
    {"download", "a download of three stored records, newest first, with progress", download},
    {"live_scan", "a live scan and a deleted-data report, acknowledged and delivered", liveScan},
    {"reconnect", "a scanner lost and opened again", reconnect},
};

std::filesystem::path goldenFile(const Session& session) {
    return std::filesystem::path(ZT_GOLDEN_DIR) / (std::string(session.name) + ".trace");
}

Timings sessionTimings() {
    Timings t = fastTimings();
    t.responseWait = 1000ms;  // no repeat in a recorded session, even on a loaded machine
    return t;
}

class GoldenSession : public SimTest, public ::testing::WithParamInterface<Session> {
protected:
    void SetUp() override {
        SimTest::SetUp();
        SessionRegistry::instance().setTimings(sessionTimings());
        Outputs::instance().reset();
    }
    void TearDown() override {
        (void)ztDeinitialize(nullptr, 1);
        SessionRegistry::instance().setTransportOpener({});
        SessionRegistry::instance().setTimings(Timings{});
        SimTest::TearDown();
    }

    void record(const Session& session) {
        TraceRecorder recorder;
        SessionRegistry::instance().setTransportOpener(recorder.opener(ttyOpener()));
        SimSide scanner(addScanner(5));
        session.run(scanner);
        (void)ztDeinitialize(nullptr, 1);
        SessionTrace trace = recorder.trace();
        for (const auto& line : Outputs::instance().lines()) trace.steps.push_back({TraceStep::Kind::Output, {}, line});
        trace.comments = {std::string("Recorded session: ") + session.what + ".",
                          "Made by zt_sdk_golden_tests with ZT_GOLDEN_RECORD=1: the SDK against the simulator on a",
                          "pseudo-terminal. '>' SDK to scanner, '<' scanner to SDK, '=' the SDK's outputs."};
        trace.save(goldenFile(session));
    }
};

TEST_P(GoldenSession, ReplaysByteForByteWithTheRecordedOutputs) {
    const Session& session = GetParam();
    if (std::getenv("ZT_GOLDEN_RECORD") != nullptr) {
        record(session);
        GTEST_SKIP() << "recorded " << goldenFile(session);
    }
    const SessionTrace golden = SessionTrace::load(goldenFile(session));
    ReplayPeer peer(golden);
    SessionRegistry::instance().setTransportOpener(peer.opener());
    ReplaySide scanner(peer);
    session.run(scanner);
    EXPECT_EQ(peer.finish(), "");
    EXPECT_EQ(Outputs::instance().lines(), golden.outputs());
}

INSTANTIATE_TEST_SUITE_P(Recorded, GoldenSession, ::testing::ValuesIn(kSessions),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(SessionTrace, ReplayReportsTheFirstFrameThatDiffers) {
    SessionTrace trace;
    trace.steps = {{TraceStep::Kind::Open, {}, {}}, {TraceStep::Kind::FromSdk, {0x7E, 1, 2}, {}}};
    ReplayPeer peer(trace);
    OpenError error{};
    auto sdkEnd = peer.opener()("COM5", error);
    ASSERT_EQ(sdkEnd->writeAll(std::vector<std::uint8_t>{0x7E, 0, 0, 0, 0x82, 0, 0, 0, 0}, 0ms), IoStatus::Ok);
    const std::string failure = peer.finish();
    EXPECT_NE(failure.find("step 2"), std::string::npos) << failure;
    EXPECT_NE(failure.find("7e 00 00 00 82 00 00 00 00"), std::string::npos) << failure;
}

TEST(SessionTrace, SavedTracesLoadBackUnchanged) {
    SessionTrace trace;
    trace.comments = {"a comment"};
    trace.steps = {{TraceStep::Kind::Open, {}, {}},
                   {TraceStep::Kind::FromSdk, {0x7E, 0xFF, 0}, {}},
                   {TraceStep::Kind::ToSdk, {0x7E, 0x0A}, {}},
                   {TraceStep::Kind::HangUp, {}, {}},
                   {TraceStep::Kind::Close, {}, {}},
                   {TraceStep::Kind::Output, {}, "ztInitialize SDK_OK"}};
    char dir[] = "/tmp/zt-trace-XXXXXX";  // a folder of its own: tests of several builds run at once
    ASSERT_NE(::mkdtemp(dir), nullptr);
    const auto file = std::filesystem::path(dir) / "roundtrip.trace";
    trace.save(file);
    const SessionTrace loaded = SessionTrace::load(file);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(loaded.comments, trace.comments);
    EXPECT_EQ(loaded.steps, trace.steps);
}

}  // namespace
}  // namespace zt::sdk::test
