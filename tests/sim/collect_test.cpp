// Collect exchanges: size header, one record per block, the empty end, repeats, the failure on demand,
// and the generated records they download.
#include "model_request.h"
#include "scanner_fixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zt::sim::test {
namespace {

using wire::Command;

const Bytes kAskSize{0x01};
const Bytes kAskRecord{0x02};

// The text of a record answer {2, tag, time, value1, value2, text, 0}.
std::string textOf(const std::optional<Bytes>& answer) {
    if (!answer || answer->size() < 26 || answer->front() != 2 || answer->back() != 0) return "<not a record>";
    return {answer->begin() + 25, answer->end() - 1};
}

class CollectTest : public ::testing::Test {
protected:
    std::optional<Bytes> collect(const Bytes& payload, std::uint8_t block, std::uint8_t retry = 0,
                                 std::uint8_t seq = 7) {
        return ask(model, Command::Collect, payload, seq, block, retry);
    }

    ScannerModel model{5};
};

TEST_F(CollectTest, SendsTheHeaderEachRecordAndAnEmptyEndAndKeepsTheStore) {
    model.addRecords({{7, makeScannerTime(2010, 1, 2, 3, 4, 5), 1.5, -2.25, "AB~"},
                      {0, makeScannerTime(2010, 1, 3), 0, 0, ""},
                      {255, makeScannerTime(2010, 1, 1), 0, 0, "last"}});
    EXPECT_EQ(collect(kAskSize, 0), (Bytes{0x01, 3, 0, 0, 0}));
    EXPECT_EQ(collect(kAskRecord, 1),
              (Bytes{0x02, 7,   110, 0, 2, 3, 4,    5,    6, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F,  // 1.5
                     0,    0,   0,   0, 0, 0, 0x02, 0xC0,                                   // -2.25
                     'A',  'B', '~', 0}));
    const auto empty = collect(kAskRecord, 2);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->size(), 26U);
    EXPECT_EQ(textOf(empty), "");
    EXPECT_EQ(textOf(collect(kAskRecord, 3)), "last");
    EXPECT_EQ(collect(kAskRecord, 4), Bytes{}) << "the end is an answer with an empty payload";
    EXPECT_EQ(model.recordCount(), 3U);

    model.eraseRecords();
    EXPECT_EQ(collect(kAskSize, 0, 0, 8), (Bytes{0x01, 0, 0, 0, 0}));
    EXPECT_EQ(collect(kAskRecord, 1, 0, 8), Bytes{});
}

TEST_F(CollectTest, ARepeatGetsTheSameAnswerAndANewExchangeStartsOver) {
    model.fillRecords(3);
    ASSERT_EQ(collect(kAskSize, 0), (Bytes{0x01, 3, 0, 0, 0}));
    EXPECT_EQ(collect(kAskSize, 0, 1), (Bytes{0x01, 3, 0, 0, 0}));
    EXPECT_EQ(textOf(collect(kAskRecord, 1)), "SIM5-000001");
    for (const std::uint8_t retry : {std::uint8_t{1}, std::uint8_t{2}, wire::kRetryAfterMismatch}) {
        EXPECT_EQ(textOf(collect(kAskRecord, 1, retry)), "SIM5-000001") << "retry " << int{retry};
    }
    EXPECT_EQ(textOf(collect(kAskRecord, 2)), "SIM5-000002");
    EXPECT_EQ(textOf(collect(kAskRecord, 2, 0)), "SIM5-000003") << "without a retry byte it is no repeat";

    // A failed exchange leaves the SDK's seq as it was: the next one begins with the same seq.
    ASSERT_EQ(collect(kAskSize, 0), (Bytes{0x01, 3, 0, 0, 0}));
    EXPECT_EQ(textOf(collect(kAskRecord, 1)), "SIM5-000001");
}

TEST_F(CollectTest, BlockNumbersWrapAndARepeatIsToldApartByItsRequest) {
    model.fillRecords(300);
    ASSERT_TRUE(collect(kAskSize, 0));
    for (int block = 1; block <= 255; ++block) ASSERT_TRUE(collect(kAskRecord, static_cast<std::uint8_t>(block)));
    EXPECT_EQ(textOf(collect(kAskRecord, 0)), "SIM5-000256");
    EXPECT_EQ(textOf(collect(kAskRecord, 0, 1)), "SIM5-000256") << "block 0 again, but not the size header";
    EXPECT_EQ(textOf(collect(kAskRecord, 1)), "SIM5-000257");
}

TEST_F(CollectTest, FailCollectAfterSilencesTheRestOfOneExchangeOnly) {
    model.fillRecords(5);
    model.failCollectAfter(2);
    ASSERT_EQ(collect(kAskSize, 0), (Bytes{0x01, 5, 0, 0, 0}));
    EXPECT_EQ(textOf(collect(kAskRecord, 1)), "SIM5-000001");
    EXPECT_EQ(textOf(collect(kAskRecord, 2)), "SIM5-000002");
    EXPECT_FALSE(collect(kAskRecord, 3));
    EXPECT_FALSE(collect(kAskRecord, 3, 1));
    EXPECT_FALSE(collect(kAskRecord, 3, 2));
    EXPECT_FALSE(collect(kAskRecord, 4)) << "later requests of that exchange stay unanswered";

    ASSERT_EQ(collect(kAskSize, 0), (Bytes{0x01, 5, 0, 0, 0}));
    for (int block = 1; block <= 5; ++block) EXPECT_TRUE(collect(kAskRecord, static_cast<std::uint8_t>(block)));
    EXPECT_EQ(collect(kAskRecord, 6), Bytes{});

    model.failCollectAfter(0);
    ASSERT_TRUE(collect(kAskSize, 0));
    EXPECT_FALSE(collect(kAskRecord, 1));
    EXPECT_FALSE(collect(Bytes{0x03}, 2)) << "a request the scanner does not understand";
}

TEST_F(CollectTest, GeneratedRecordsAreDistinctOrderedAndNumberedOnAcrossFills) {
    model.fillRecords(10000);
    model.fillRecords(1);
    const auto records = model.records();
    ASSERT_EQ(records.size(), 10001U);
    EXPECT_EQ(records.front().text, "SIM5-000001");
    EXPECT_EQ(records.front().time, makeScannerTime(2024, 5, 1, 8, 1, 1));
    EXPECT_EQ(records.back().text, "SIM5-010001");
    std::set<std::string> texts;
    for (std::size_t i = 0; i < records.size(); ++i) {
        texts.insert(records[i].text);
        if (i > 0) {
            // Year to second compare as bytes in time order; the day of week is left out.
            const auto& a = records[i - 1].time;
            const auto& b = records[i].time;
            ASSERT_TRUE(std::lexicographical_compare(a.begin(), a.begin() + 6, b.begin(), b.begin() + 6)) << i;
        }
    }
    EXPECT_EQ(texts.size(), records.size());
    EXPECT_THROW(model.addRecords({{0, {}, 0, 0, std::string(0xFFFF, 'x')}}), std::invalid_argument);
}

// Over the line, with a fault on top of the model: the answer comes with a wrong code, the SDK repeats
// with retry byte 4 and gets the same record.
using CollectLineTest = ScannerFixture;

TEST_F(CollectLineTest, AMismatchedAnswerIsRepeatedWithTheSameRecord) {
    scanner.fillRecords(2);
    client.write(requestFrame(Command::Collect, 3, kAskSize, 0));
    const auto header = client.readFrame();
    ASSERT_TRUE(header);
    EXPECT_EQ(header->payload, (Bytes{0x01, 2, 0, 0, 0}));

    scanner.answerWrongCode(1);
    client.write(requestFrame(Command::Collect, 3, kAskRecord, 1));
    const auto wrong = client.readFrame();
    client.write(requestFrame(Command::Collect, 3, kAskRecord, 1, wire::kRetryAfterMismatch));
    const auto repeat = client.readFrame();
    client.write(requestFrame(Command::Collect, 3, kAskRecord, 2));
    const auto second = client.readFrame();
    ASSERT_TRUE(wrong && repeat && second);
    EXPECT_EQ(wrong->header.type, 10);
    EXPECT_EQ(repeat->header.type, 9);
    EXPECT_EQ(repeat->header.retry, wire::kRetryAfterMismatch);
    EXPECT_EQ(textOf(repeat->payload), "SIM5-000001");
    EXPECT_EQ(repeat->payload, wrong->payload);
    EXPECT_EQ(textOf(second->payload), "SIM5-000002");
}

TEST_F(CollectLineTest, ScansCarryTheClockAndLeaveTheStoreAlone) {
    scanner.updateState([](ScannerState& state) { state.clock = makeScannerTime(2010, 5, 17, 14, 3, 9); });
    scanner.sendScan("12345");
    scanner.sendScan("9", true);
    const auto scan = client.readFrame();
    const auto deleted = client.readFrame();
    ASSERT_TRUE(scan && deleted);
    EXPECT_EQ(scan->header.type, 0x81);
    EXPECT_EQ(scan->payload, (Bytes{0, 110, 4, 17, 14, 3, 9, 1, 0, 0,   0,   0,   0,   0,   0,
                                    0, 0,   0, 0,  0,  0, 0, 0, 0, '1', '2', '3', '4', '5', 0}));
    EXPECT_EQ(deleted->header.type, 0x83);
    EXPECT_EQ(deleted->payload.size(), 26U);
    EXPECT_EQ(scanner.recordCount(), 0U);
}

}  // namespace
}  // namespace zt::sim::test
