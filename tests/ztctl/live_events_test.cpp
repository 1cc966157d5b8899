// Which scanner an SDK callback belongs to, when handles are known only once ztInitialize returns them
// and several opens run at once; and the live report lines of the one-shot commands.
#include "live_events.h"
#include "live_reports.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace ztctl {
namespace {

using Kind = LiveEvent::Kind;

// Stand-ins for the SDK's opaque handles: only their addresses matter.
std::array<int, 3> slots{};
ScannerHandle handle(int i) { return reinterpret_cast<ScannerHandle>(&slots.at(static_cast<std::size_t>(i))); }

std::vector<std::uint8_t> record(const std::string& text) {
    std::vector<std::uint8_t> r{0, 124, 4, 17, 10, 30, 0, 5};  // tag, 2024-05-17 10:30:00 Friday
    r.resize(24, 0);
    r.insert(r.end(), text.begin(), text.end());
    r.push_back(0);
    return r;
}

void scan(int i, const std::string& text, bool deleted = false) {
    const auto r = record(text);
    LiveEventSink::Callbacks::onScanData(handle(i), r.data(), static_cast<int>(r.size()), deleted ? 1 : 0);
}

struct Seen {
    Kind kind;
    unsigned port;
    bool operator==(const Seen&) const = default;
};

std::vector<Seen> seen(LiveEventSink& sink) {
    std::vector<Seen> out;
    for (const auto& e : sink.take()) out.push_back({e.kind, e.port});
    return out;
}

TEST(LiveEventSink, WithSeveralOpensAnEarlyScanWaitsForTheOpenThatReturnsItsHandle) {
    LiveEventSink sink;
    sink.beginOpen(5);
    sink.beginOpen(6);
    scan(1, "early");  // belongs to 5 or 6: not known yet
    EXPECT_TRUE(seen(sink).empty());
    ASSERT_TRUE(sink.finishOpen(5, handle(0)));
    ASSERT_TRUE(sink.finishOpen(6, handle(1)));
    EXPECT_EQ(seen(sink), (std::vector<Seen>{{Kind::Opened, 5}, {Kind::Scan, 6}, {Kind::Opened, 6}}));
    scan(0, "later", true);
    EXPECT_EQ(seen(sink), (std::vector<Seen>{{Kind::Deleted, 5}}));
}

TEST(LiveEventSink, WithOneOpenAnUnknownHandleIsThatOpensAndALossCancelsIt) {
    LiveEventSink sink;
    sink.beginOpen(5);
    scan(0, "at once");
    LiveEventSink::Callbacks::onDisconnect(handle(0));
    EXPECT_EQ(seen(sink), (std::vector<Seen>{{Kind::Scan, 5}}));
    EXPECT_FALSE(sink.finishOpen(5, handle(0))) << "lost before its open returned";
    EXPECT_EQ(seen(sink), (std::vector<Seen>{{Kind::Lost, 5}}));
    EXPECT_FALSE(sink.isOpen(handle(0)));
}

TEST(LiveEventSink, ScansOfAnOpenThatReturnedNoHandleAreStillTold) {
    LiveEventSink sink;
    sink.beginOpen(5);
    sink.beginOpen(6);
    scan(2, "orphan");
    LiveEventSink::Callbacks::onDisconnect(handle(2));
    ASSERT_TRUE(sink.finishOpen(5, handle(0)));
    static_cast<void>(seen(sink));
    sink.failOpen(6, SDK_ERR_TIMEOUT);
    EXPECT_EQ(seen(sink), (std::vector<Seen>{{Kind::OpenFailed, 6}, {Kind::Scan, 6}}));
}

TEST(LiveEventSink, ClosedAndLostHandles) {
    LiveEventSink sink;
    sink.beginOpen(5);
    ASSERT_TRUE(sink.finishOpen(5, handle(0)));
    sink.beginOpen(6);
    ASSERT_TRUE(sink.finishOpen(6, handle(1)));
    static_cast<void>(seen(sink));
    EXPECT_TRUE(sink.isOpen(handle(0)));
    sink.closed(handle(0));
    EXPECT_FALSE(sink.isOpen(handle(0)));
    scan(0, "delivered while it closed");
    LiveEventSink::Callbacks::onDisconnect(handle(1));
    LiveEventSink::Callbacks::onDisconnect(handle(1));  // the SDK frees it after the first; a second is not ours
    EXPECT_EQ(seen(sink), (std::vector<Seen>{{Kind::Scan, 5}, {Kind::Lost, 6}}));
    EXPECT_FALSE(sink.isOpen(handle(1)));
    // A new open that gets the address of the closed handle owns it from then on.
    sink.beginOpen(7);
    ASSERT_TRUE(sink.finishOpen(7, handle(0)));
    scan(0, "new");
    EXPECT_EQ(seen(sink), (std::vector<Seen>{{Kind::Opened, 7}, {Kind::Scan, 7}}));
}

TEST(LiveReports, LinesNameTheScannerAndShowTheDataInDisplayForm) {
    LiveEvent event{Kind::Scan, 5, SDK_OK, record("A\tB")};
    const ScannerNames names({{5, "ZT-550 00005"}});
    EXPECT_EQ(LiveReports::format(event, names, false), "COM5 (ZT-550 00005): live barcode 2024/05/17 10:30:00: A\\tB");
    event.kind = Kind::Deleted;
    event.port = 6;
    EXPECT_EQ(LiveReports::format(event, names, false), "COM6: deleted-data report 2024/05/17 10:30:00: A\\tB");
    EXPECT_EQ(LiveReports::format(event, names, true),
              R"({"time":"2024/05/17 10:30:00","port":"COM6","name":null,"data":"A\\tB","deleted":true})");
}

}  // namespace
}  // namespace ztctl
