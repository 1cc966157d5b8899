// Downloading stored records: progress calls, sort order, fetching by index, failures that keep what was
// received, malformed records, and fetches racing a new download.
#include "open_scanner_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace zt::sdk::test {
namespace {

using wire::Command;
using B = sim::Bytes;
using Time = std::array<std::uint8_t, 7>;

B recordBytes(const Time& time, const std::string& text, std::uint8_t tag = 7, double v1 = 1.5, double v2 = -2.25) {
    B r{tag};
    r.insert(r.end(), time.begin(), time.end());
    std::array<std::uint8_t, 16> values{};
    std::memcpy(values.data(), &v1, 8);
    std::memcpy(values.data() + 8, &v2, 8);
    r.insert(r.end(), values.begin(), values.end());
    for (const char c : text) r.push_back(static_cast<std::uint8_t>(c));
    r.push_back(0);
    return r;
}

B sizeHeader(std::int32_t total) {
    const auto t = static_cast<std::uint32_t>(total);
    return {1, static_cast<std::uint8_t>(t), static_cast<std::uint8_t>(t >> 8), static_cast<std::uint8_t>(t >> 16),
            static_cast<std::uint8_t>(t >> 24)};
}

// Serves a record store as a scanner does: the size header, one record per block, then an empty answer.
// A repeated request gets the same answer again. After `silentAfter` records it stops answering.
struct StoreServer {
    std::vector<B> records;
    std::int32_t announced = 0;
    std::size_t silentAfter = SIZE_MAX;
    std::size_t next = 0;
    std::optional<B> last;

    std::optional<B> answer(const wire::FrameHeader& request, std::span<const std::uint8_t> payload) {
        if (request.retry != 0) return last;
        if (!payload.empty() && payload[0] == 1) {
            next = 0;
            last = sizeHeader(announced);
        } else if (next >= silentAfter) {
            last = std::nullopt;
        } else if (next < records.size()) {
            B r{2};
            r.insert(r.end(), records[next].begin(), records[next].end());
            ++next;
            last = r;
        } else {
            last = B{};
        }
        return last;
    }
};

std::mutex gProgressMutex;
std::vector<std::pair<int, int>> gProgress;
void recordProgress(int total, int received) {
    std::lock_guard lock(gProgressMutex);
    gProgress.emplace_back(total, received);
}
std::vector<std::pair<int, int>> progress() {
    std::lock_guard lock(gProgressMutex);
    return gProgress;
}

class Collect : public OpenScannerTest {
protected:
    void SetUp() override {
        OpenScannerTest::SetUp();
        std::lock_guard lock(gProgressMutex);
        gProgress.clear();
    }
    std::shared_ptr<StoreServer> serve(std::vector<B> records, std::optional<std::int32_t> announced = {}) {
        auto server = std::make_shared<StoreServer>();
        server->announced = announced.value_or(static_cast<std::int32_t>(records.size()));
        server->records = std::move(records);
        scanner_->teach(Command::Collect, [server](auto& h, auto p) { return server->answer(h, p); });
        return server;
    }
    struct Fetched {
        int result = 0, tag = 0, length = 0;
        Time time{};
        double v1 = 0, v2 = 0;
        std::string text;
    };
    Fetched fetch(int index) {
        Fetched f;
        std::vector<char> text(3072, '\x55');
        f.result = ztCollectingOnce(handle_, index, &f.tag, f.time.data(), &f.v1, &f.v2, text.data(), &f.length);
        if (f.result == SDK_OK) f.text = text.data();
        return f;
    }
};

Time day(int d) { return {110, 0, static_cast<std::uint8_t>(d), 12, 0, 0, 1}; }

TEST_F(Collect, FiveRecordsReportProgressAndComeOutNewestFirst) {
    serve({recordBytes(day(2), "b"), recordBytes(day(3), "c"), recordBytes(day(1), "a", 200, 3.0, 4.0),
           recordBytes(day(5), "e"), recordBytes(day(4), "d")});
    int count = -1;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, recordProgress), SDK_OK);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(progress(), (std::vector<std::pair<int, int>>{{5, 0}, {5, 1}, {5, 2}, {5, 3}, {5, 5}}));
    std::string order;
    for (int i = 0; i < count; ++i) order += fetch(i).text;
    EXPECT_EQ(order, "edcba");
    const Fetched oldest = fetch(4);
    EXPECT_EQ(oldest.tag, 200);
    EXPECT_EQ(oldest.time, day(1));
    EXPECT_EQ(oldest.v1, 3.0);
    EXPECT_EQ(oldest.v2, 4.0);
    EXPECT_EQ(oldest.length, 1);
    EXPECT_EQ(fetch(4).text, oldest.text);  // the same record again
    EXPECT_EQ(fetch(5).result, SDK_ERR_INVALID_ARG);
    EXPECT_EQ(fetch(-1).result, SDK_ERR_INVALID_ARG);
    // The requests: 0x01 for the header, then 0x02 for every record and the end, in blocks 0, 1, 2, ...
    const auto reqs = requests(Command::Collect);
    ASSERT_EQ(reqs.size(), 7u);
    EXPECT_EQ(reqs[0], (B{1}));
    EXPECT_EQ(reqs[6], (B{2}));
}

TEST_F(Collect, SmallTotals) {
    serve({}, 0);
    int count = -1;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, recordProgress), SDK_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(progress(), (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(fetch(0).result, SDK_ERR_INVALID_ARG);

    serve({recordBytes(day(1), "only")});
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, recordProgress), SDK_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(progress(), (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}, {1, 1}}));
    EXPECT_EQ(ztPrepareCollecting(handle_, nullptr, nullptr), SDK_ERR_INVALID_ARG);
}

TEST_F(Collect, TimeoutAfterSevenOfTenKeepsTheSeven) {
    std::vector<B> records;
    for (int i = 1; i <= 10; ++i) records.push_back(recordBytes(day(i), std::to_string(i)));
    serve(records)->silentAfter = 7;
    int count = -1;
    EXPECT_EQ(ztPrepareCollecting(handle_, &count, recordProgress), SDK_ERR_TIMEOUT);
    EXPECT_EQ(count, 7);
    const auto calls = progress();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), (std::pair<int, int>{10, 0}));
    EXPECT_EQ(calls.back(), (std::pair<int, int>{0, -1}));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), std::pair<int, int>{0, -1}), 1);
    EXPECT_EQ(fetch(0).text, "7");
    EXPECT_EQ(fetch(6).text, "1");
}

TEST_F(Collect, MalformedRecordsAreDroppedAndTheDownloadGoesOn) {
    B noZero = recordBytes(day(1), "abc");
    noZero.pop_back();
    B oversized = recordBytes(day(2), std::string(3072, 'x'));  // 24 + 3072 + 1 = 3097 bytes
    B largest = recordBytes(day(3), std::string(3071, 'y'));    // 3096 bytes: kept
    B headOnly(24, 0);
    serve({noZero, oversized, largest, headOnly, recordBytes(day(4), "ok")}, 5);
    int count = -1;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, nullptr), SDK_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(fetch(0).text, "ok");
    const Fetched big = fetch(1);
    EXPECT_EQ(big.length, 3071);
    EXPECT_EQ(big.text, std::string(3071, 'y'));
}

TEST_F(Collect, DroppedRecordsStillEndTheProgressAtTotalOfTotal) {
    // Progress follows the answered blocks: a dropped record, in the middle or last, does not keep the
    // caller from seeing (total, total).
    B oversized = recordBytes(day(9), std::string(3072, 'x'));
    serve({recordBytes(day(1), "a"), oversized, recordBytes(day(3), "c"), recordBytes(day(4), "d"), oversized});
    int count = -1;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, recordProgress), SDK_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(progress(), (std::vector<std::pair<int, int>>{{5, 0}, {5, 1}, {5, 2}, {5, 3}, {5, 5}}));
}

TEST_F(Collect, ProgressNeverPassesTheAnnouncedTotal) {
    serve({recordBytes(day(1), "1"), recordBytes(day(2), "2"), recordBytes(day(3), "3")}, 1);
    int count = -1;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, recordProgress), SDK_OK);
    EXPECT_EQ(count, 3);  // the extra records are kept, but (1, 1) is reported once
    EXPECT_EQ(progress(), (std::vector<std::pair<int, int>>{{1, 0}, {1, 1}}));
}

TEST_F(Collect, TotalsThatLie) {
    // More records than announced are kept; a negative or huge total neither breaks nor over-allocates.
    serve({recordBytes(day(1), "1"), recordBytes(day(2), "2"), recordBytes(day(3), "3")}, 1);
    int count = -1;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, recordProgress), SDK_OK);
    EXPECT_EQ(count, 3);
    serve({recordBytes(day(1), "1")}, -5);
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, nullptr), SDK_OK);
    EXPECT_EQ(count, 1);
    serve({recordBytes(day(1), "1"), recordBytes(day(2), "2")}, 0x7FFFFFFF);
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, nullptr), SDK_OK);
    EXPECT_EQ(count, 2);
}

TEST_F(Collect, BlockNumbersWrapAfter255) {
    std::vector<B> records;
    for (int i = 0; i < 300; ++i)
        records.push_back(
            recordBytes({110, 1, 1, 0, static_cast<std::uint8_t>(i / 60), static_cast<std::uint8_t>(i % 60), 0},
                        "r" + std::to_string(i)));
    serve(records);
    int count = -1;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, nullptr), SDK_OK);
    EXPECT_EQ(count, 300);
    EXPECT_EQ(fetch(0).text, "r299");
    const auto frames = scanner_->frames();
    ASSERT_GE(frames.size(), 302u);
    EXPECT_EQ(frames[255].header.block, 255);
    EXPECT_EQ(frames[256].header.block, 0);
}

std::atomic<int> gFetchDuringCollect{1};
std::atomic<int> gBatteryDuringCollect{1};
::ScannerHandle gHandle = nullptr;
void probeDuringCollect(int, int) {
    int tag = 0, length = 0, a = 0, b = 0;
    unsigned char time[7];
    double v1 = 0, v2 = 0;
    char text[3072];
    gFetchDuringCollect = ztCollectingOnce(gHandle, 0, &tag, time, &v1, &v2, text, &length);
    gBatteryDuringCollect = ztGetBatteryStatus(gHandle, &a, &b);
}

TEST_F(Collect, FetchesAndOperationsDuringACollectionAreBusy) {
    serve({recordBytes(day(1), "1")});
    int count = -1;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, nullptr), SDK_OK);
    gHandle = handle_;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, probeDuringCollect), SDK_OK);
    EXPECT_EQ(gFetchDuringCollect.load(), SDK_ERR_BUSY);
    EXPECT_EQ(gBatteryDuringCollect.load(), SDK_ERR_BUSY);
    EXPECT_EQ(fetch(0).result, SDK_OK);
}

TEST_F(Collect, FetchesRacingNewDownloadsNeverSeeReleasedRecords) {
    std::vector<B> records;
    for (int i = 0; i < 20; ++i) records.push_back(recordBytes(day(1 + i), std::string(100 + i, 'q')));
    serve(records);
    int count = 0;
    ASSERT_EQ(ztPrepareCollecting(handle_, &count, nullptr), SDK_OK);
    std::atomic<bool> stop{false};
    std::atomic<int> unexpected{0};
    std::thread fetcher([&] {
        std::vector<char> text(3072);
        while (!stop) {
            int tag = 0, length = 0;
            unsigned char time[7];
            double v1 = 0, v2 = 0;
            const int r = ztCollectingOnce(handle_, 19, &tag, time, &v1, &v2, text.data(), &length);
            if (r == SDK_OK && (length != 100 || text[99] != 'q')) ++unexpected;
            if (r != SDK_OK && r != SDK_ERR_BUSY && r != SDK_ERR_INVALID_ARG) ++unexpected;
        }
    });
    for (int round = 0; round < 10; ++round) ASSERT_EQ(ztPrepareCollecting(handle_, &count, nullptr), SDK_OK);
    stop = true;
    fetcher.join();
    EXPECT_EQ(unexpected.load(), 0);
}

TEST_F(Collect, PortLostDuringADownload) {
    std::vector<B> records;
    for (int i = 1; i <= 10; ++i) records.push_back(recordBytes(day(i), "x"));
    auto server = serve(records);
    server->silentAfter = 3;
    std::thread dropper([&] {
        // Hang up once the fourth record was asked for.
        if (scanner_->waitForFrames(5, 5000ms)) scanner_->hangUp();
    });
    int count = -1;
    const int result = ztPrepareCollecting(handle_, &count, recordProgress);
    dropper.join();
    // The loss reaches the download either through a failed write (-17, the count is not written) or
    // through the teardown of the lost handle, which cuts the exchange short (-12, the three are counted).
    if (result == SDK_ERR_PORT_LOST) {
        EXPECT_EQ(count, -1);
    } else {
        EXPECT_EQ(result, SDK_ERR_ABORTED);
        EXPECT_EQ(count, 3);
    }
    EXPECT_EQ(progress().back(), (std::pair<int, int>{0, -1}));
}

}  // namespace
}  // namespace zt::sdk::test
