// The scanner model answering the parameter commands: defaults, values written and read back, refusals
// of malformed requests, erase and restore.
#include "model_request.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zt::sim::test {
namespace {

using wire::Command;

constexpr std::uint8_t kGet = 0;
constexpr std::uint8_t kSet = 1;
const Bytes kDone{0x00};
const Bytes kRefused{0x01};

Bytes done(std::initializer_list<std::uint8_t> rest) {
    Bytes answer{0x00};
    answer.insert(answer.end(), rest);
    return answer;
}

Bytes doneText(const std::string& text) {
    Bytes answer;
    answer.reserve(text.size() + 2);
    answer.push_back(0x00);
    answer.insert(answer.end(), text.begin(), text.end());
    answer.push_back(0);
    return answer;
}

class ModelTest : public ::testing::Test {
protected:
    std::optional<Bytes> ask(Command command, const Bytes& payload = {}) { return test::ask(model, command, payload); }
    std::optional<Bytes> getConfig(std::uint16_t item) { return ask(Command::Config, configRequest(kGet, item)); }
    std::optional<Bytes> setConfig(std::uint16_t item, std::initializer_list<std::uint8_t> data = {}) {
        return ask(Command::Config, configRequest(kSet, item, data));
    }

    ScannerModel model{5};
};

TEST_F(ModelTest, AnswersEveryGetFromTheDefaults) {
    EXPECT_EQ(ask(Command::Handshake, Bytes{0x31, 0x01}), kDone);
    EXPECT_EQ(ask(Command::Battery), done({100, 0}));
    EXPECT_EQ(ask(Command::Storage), done({0}));
    EXPECT_EQ(ask(Command::Time, {kGet}), done({124, 4, 17, 10, 30, 0, 5}));  // Friday 2024-05-17 10:30:00
    EXPECT_EQ(ask(Command::Prefix, {kGet}), done({0}));
    EXPECT_EQ(ask(Command::Suffix, {kGet}), done({0}));
    EXPECT_EQ(ask(Command::ScanMode, {kGet}), done({0, 0, 0, 0, 0}));
    EXPECT_EQ(ask(Command::Buzzer, {kGet}), done({3}));
    EXPECT_EQ(ask(Command::Symbology, {kGet, 27, 25}), done({27, 25, 30}));
    EXPECT_EQ(ask(Command::Symbology, {kGet, 17, 23}), done({17, 23, 0}));
    EXPECT_EQ(ask(Command::Symbology, {kGet, 46, 0}), done({46, 0, 0}));
    EXPECT_EQ(ask(Command::Symbology, {kGet, 63, 0}), done({63, 0, 1}));
    EXPECT_EQ(ask(Command::Symbology, {kGet, 99, 7}), done({99, 7, 0})) << "unknown pairs read 0";

    EXPECT_EQ(getConfig(0), done({0x02, 0x5A, 0x54, 0x00, 0x00, 5}));
    EXPECT_EQ(getConfig(1), doneText("SIM00005"));
    EXPECT_EQ(getConfig(2), done({'1', '2'}));
    EXPECT_EQ(getConfig(3), doneText("0000"));
    EXPECT_EQ(getConfig(5), done({5, 0, 0, 0}));
    EXPECT_EQ(getConfig(7), done({200, 0, 0, 0}));
    EXPECT_EQ(getConfig(8), done({0x90, 0x01, 0, 0}));
    for (std::uint16_t flag = 10; flag <= 15; ++flag) EXPECT_EQ(getConfig(flag), done({0})) << flag;

    EXPECT_FALSE(ask(static_cast<Command>(3))) << "a code the scanner does not know goes unanswered";
}

TEST_F(ModelTest, ReadsBackWhatWasWritten) {
    EXPECT_EQ(ask(Command::Time, {kSet, 110, 0, 2, 23, 59, 58, 6}), kDone);
    EXPECT_EQ(ask(Command::Time, {kGet}), done({110, 0, 2, 23, 59, 58, 6}));

    EXPECT_EQ(ask(Command::Prefix, {kSet, 'A', '\\', 0x0D, 0}), kDone);
    EXPECT_EQ(ask(Command::Suffix, {kSet, 0x09, 0}), kDone);
    EXPECT_EQ(ask(Command::Prefix, {kGet}), done({'A', '\\', 0x0D, 0}));
    EXPECT_EQ(ask(Command::Suffix, {kGet}), done({0x09, 0}));
    EXPECT_EQ(ask(Command::Prefix, {kSet}), kDone) << "the mode byte alone sets an empty text";
    EXPECT_EQ(ask(Command::Prefix, {kGet}), done({0}));

    EXPECT_EQ(ask(Command::ScanMode, {kSet, 2, 0x0F, 0x27, 0, 0}), kDone);  // 9999
    EXPECT_EQ(ask(Command::ScanMode, {kGet}), done({2, 0x0F, 0x27, 0, 0}));
    EXPECT_EQ(ask(Command::ScanMode, {kSet, 0}), kDone);
    EXPECT_EQ(ask(Command::ScanMode, {kGet}), done({0, 0x0F, 0x27, 0, 0})) << "mode 0 keeps the last value";

    EXPECT_EQ(ask(Command::Buzzer, {kSet, 0}), kDone);
    EXPECT_EQ(ask(Command::Buzzer, {kGet}), done({0}));
    EXPECT_EQ(ask(Command::Symbology, {kSet, 27, 24, 10}), kDone);
    EXPECT_EQ(ask(Command::Symbology, {kSet, 99, 7, 4}), kDone);
    EXPECT_EQ(ask(Command::Symbology, {kGet, 27, 24}), done({27, 24, 10}));
    EXPECT_EQ(ask(Command::Symbology, {kGet, 99, 7}), done({99, 7, 4}));

    EXPECT_EQ(setConfig(0, {1, 2, 3, 4, 5, 6}), kDone);
    EXPECT_EQ(setConfig(1, {'A', 'b', '9', 0}), kDone);
    EXPECT_EQ(setConfig(3, {'4', '3', '2', '1', 0}), kDone);
    EXPECT_EQ(setConfig(5, {10, 0, 0, 0}), kDone);
    EXPECT_EQ(setConfig(7, {0xB8, 0x0B, 0, 0}), kDone);  // 3000
    EXPECT_EQ(setConfig(8, {0, 0, 0, 0}), kDone);
    for (std::uint8_t flag = 10; flag <= 15; ++flag)
        EXPECT_EQ(setConfig(flag, {static_cast<std::uint8_t>(flag % 2 == 0 ? 1 : 0)}), kDone);
    EXPECT_EQ(getConfig(0), done({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(getConfig(1), doneText("Ab9"));
    EXPECT_EQ(getConfig(3), doneText("4321"));
    EXPECT_EQ(getConfig(5), done({10, 0, 0, 0}));
    EXPECT_EQ(getConfig(7), done({0xB8, 0x0B, 0, 0}));
    EXPECT_EQ(getConfig(8), done({0, 0, 0, 0}));
    EXPECT_EQ(getConfig(12), done({1}));
    EXPECT_EQ(getConfig(13), done({0}));

    const auto state = model.state();
    EXPECT_EQ(state.serial, "Ab9");
    EXPECT_EQ(state.pin, "4321");
    EXPECT_EQ(state.clock, (ScannerTime{110, 0, 2, 23, 59, 58, 6}));
    EXPECT_EQ(state.flags, (std::array<std::uint8_t, kFlagCount>{1, 0, 1, 0, 1, 0}));
}

TEST_F(ModelTest, RefusesRequestsOfTheWrongFormOrOutOfRangeAndKeepsItsState) {
    const auto before = model.state();
    const std::vector<std::pair<Command, Bytes>> refused{
        {Command::Battery, {kGet}},  // battery and storage carry nothing
        {Command::Storage, {kGet}},
        {Command::Time, {}},
        {Command::Time, {2}},                             // neither get nor set
        {Command::Time, {kSet, 110, 12, 1, 0, 0, 0, 0}},  // month 12
        {Command::Time, {kSet, 110, 0, 0, 0, 0, 0, 0}},   // day 0
        {Command::Time, {kSet, 110, 0, 1, 0, 0, 0, 7}},   // day of week 7
        {Command::Time, {kSet, 110, 0, 1, 0, 0, 0}},      // one byte short
        {Command::Prefix, {kSet, 'A'}},                   // no terminating zero
        {Command::Suffix, {kSet, 'A', 0, 'B', 0}},        // zero inside the text
        {Command::ScanMode, {kSet, 3}},
        {Command::ScanMode, {kSet, 1}},                    // mode 1 carries a value
        {Command::ScanMode, {kSet, 0, 1, 0, 0, 0}},        // mode 0 does not
        {Command::ScanMode, {kSet, 1, 0x10, 0x27, 0, 0}},  // 10000
        {Command::Buzzer, {kSet, 4}},
        {Command::Symbology, {kSet, 17, 0}},
        {Command::Symbology, {kGet, 17}},
        {Command::Config, {kGet, 1}},                    // item cut short
        {Command::Config, configRequest(kGet, 1, {0})},  // a get carries nothing after the item
        {Command::Config, configRequest(kGet, 4)},       // erase and restore cannot be read
        {Command::Config, configRequest(kGet, 6)},
        {Command::Config, configRequest(kGet, 9)},  // no item 9
        {Command::Config, configRequest(kGet, 16)},
        {Command::Config, configRequest(kSet, 2, {'1', '3'})},  // the image version is read-only
        {Command::Config, configRequest(kSet, 0, {1, 2, 3, 4, 5})},
        {Command::Config, configRequest(kSet, 1, {0})},                 // empty serial
        {Command::Config, configRequest(kSet, 1, {'A', '-', '1', 0})},  // only letters and digits
        {Command::Config, configRequest(kSet, 3, {'1', '2', '3', 0})},  // PIN of 3 digits
        {Command::Config, configRequest(kSet, 3, {'1', '2', '3', 'x', 0})},
        {Command::Config, configRequest(kSet, 5, {11, 0, 0, 0})},       // sleep time above 10
        {Command::Config, configRequest(kSet, 7, {0xB9, 0x0B, 0, 0})},  // delay above 3000
        {Command::Config, configRequest(kSet, 8, {1, 0})},
        {Command::Config, configRequest(kSet, 10, {1, 1})},
        {Command::Config, configRequest(kSet, 4, {1})},  // erase carries nothing
    };
    for (const auto& [command, payload] : refused) {
        EXPECT_EQ(ask(command, payload), kRefused) << "command " << int(command) << ", " << payload.size() << " bytes";
    }
    EXPECT_EQ(model.state(), before);

    Bytes longest{kSet};
    longest.resize(1 + 63, 'x');
    longest.push_back(0);
    EXPECT_EQ(ask(Command::Prefix, longest), kDone);
    longest.insert(longest.begin() + 1, 'x');
    EXPECT_EQ(ask(Command::Prefix, longest), kRefused) << "64 characters";
}

TEST_F(ModelTest, RestoreKeepsTheRecordsAndEraseKeepsTheSettings) {
    model.fillRecords(3);
    EXPECT_EQ(ask(Command::Storage), done({1})) << "any record takes at least one percent";
    ASSERT_EQ(ask(Command::Buzzer, {kSet, 1}), kDone);
    ASSERT_EQ(setConfig(3, {'9', '9', '9', '9', 0}), kDone);
    ASSERT_EQ(ask(Command::Symbology, {kSet, 17, 0, 0}), kDone);

    EXPECT_EQ(setConfig(6), kDone);
    auto expected = defaultScannerState(5);
    expected.records = model.records();
    expected.storage = 1;
    EXPECT_EQ(model.state(), expected);
    EXPECT_EQ(model.recordCount(), 3U);

    ASSERT_EQ(ask(Command::Buzzer, {kSet, 2}), kDone);
    EXPECT_EQ(setConfig(4), kDone);
    EXPECT_EQ(model.recordCount(), 0U);
    EXPECT_EQ(ask(Command::Storage), done({0}));
    EXPECT_EQ(ask(Command::Buzzer, {kGet}), done({2}));
}

TEST_F(ModelTest, StorageFollowsTheStoreAndStateChangesReachTheAnswers) {
    model.fillRecords(kStoreCapacity / 2);
    EXPECT_EQ(ask(Command::Storage), done({50}));
    model.fillRecords(kStoreCapacity);
    EXPECT_EQ(ask(Command::Storage), done({100})) << "a store over its capacity still reads 100";
    model.eraseRecords();
    EXPECT_EQ(ask(Command::Storage), done({0}));

    model.update([](ScannerState& state) {
        state.batteryFirst = 50;
        state.batteryLevel = 2;
        state.storage = 77;
        state.imageVersion = {'2', '0'};
    });
    EXPECT_EQ(ask(Command::Battery), done({50, 2}));
    EXPECT_EQ(ask(Command::Storage), done({77}));
    EXPECT_EQ(getConfig(2), done({'2', '0'}));
}

TEST(ScannerTimeTest, FillsInTheDayOfWeekAndRejectsDatesThatDoNotExist) {
    EXPECT_EQ(makeScannerTime(2010, 1, 3, 14, 3, 9), (ScannerTime{110, 0, 3, 14, 3, 9, 0}));  // a Sunday
    EXPECT_EQ(makeScannerTime(2024, 2, 29)[6], 4);
    EXPECT_THROW(static_cast<void>(makeScannerTime(2023, 2, 29)), std::invalid_argument);
    EXPECT_THROW(static_cast<void>(makeScannerTime(1899, 12, 31)), std::invalid_argument);
    EXPECT_THROW(static_cast<void>(makeScannerTime(2024, 1, 1, 24)), std::invalid_argument);
}

}  // namespace
}  // namespace zt::sim::test
