// The get and set operations through the C API: request bytes, checks that send nothing, answers of the
// wrong form, refusals, and the second names.
#include "open_scanner_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace zt::sdk::test {
namespace {

using wire::Command;
using B = sim::Bytes;

using Ops = OpenScannerTest;

TEST_F(Ops, ScanModeRequestsAndChecks) {
    answer(Command::ScanMode, {0});
    EXPECT_EQ(ztSetScanMode(handle_, 0, 1234), SDK_OK);
    EXPECT_EQ(ztSetScanMode(handle_, 1, 9999), SDK_OK);
    EXPECT_EQ(ztSetScanMode(handle_, 2, 0x0102), SDK_OK);
    EXPECT_EQ(requests(Command::ScanMode),
              (std::vector<B>{{1, 0}, {1, 1, 0x0F, 0x27, 0, 0}, {1, 2, 0x02, 0x01, 0, 0}}));
    scanner_->clearFrames();
    EXPECT_EQ(ztSetScanMode(handle_, 1, 10000), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetScanMode(handle_, 3, 0), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetScanMode(handle_, -1, 0), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztGetScanMode(handle_, nullptr, nullptr), SDK_ERR_INVALID_ARG);
    EXPECT_TRUE(nothingSent());

    int mode = -1, value = -1;
    answer(Command::ScanMode, {0, 2, 0x10, 0x27, 0, 0});
    EXPECT_EQ(ztGetScanMode(handle_, &mode, &value), SDK_OK);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(value, 10000);
    EXPECT_EQ(requests(Command::ScanMode).back(), (B{0}));
    answer(Command::ScanMode, {0, 2, 0x10});  // another length: 0 and 0
    EXPECT_EQ(ztGetScanMode(handle_, &mode, &value), SDK_OK);
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(value, 0);
}

TEST_F(Ops, BuzzerVolume) {
    answer(Command::Buzzer, {0});
    EXPECT_EQ(ztSetBuzzerVolume(handle_, 3), SDK_OK);
    EXPECT_EQ(requests(Command::Buzzer).back(), (B{1, 3}));
    EXPECT_EQ(ztSetBuzzerVolume(handle_, 4), SDK_ERR_INVALID_ARG);
    int volume = -1;
    answer(Command::Buzzer, {0, 2});
    EXPECT_EQ(ztGetBuzzerVolume(handle_, &volume), SDK_OK);
    EXPECT_EQ(volume, 2);
    answer(Command::Buzzer, {0, 5});  // out of range reads as 0
    EXPECT_EQ(ztGetBuzzerVolume(handle_, &volume), SDK_OK);
    EXPECT_EQ(volume, 0);
    EXPECT_EQ(requests(Command::Buzzer).size(), 3u);
}

TEST_F(Ops, BatteryAndStorageKeepThePreviousValuesOnAnAnswerOfAnotherLength) {
    int first = -1, second = -1, storage = -1;
    answer(Command::Battery, {0, 1});
    EXPECT_EQ(ztGetBatteryStatus(handle_, &first, &second), SDK_OK);
    EXPECT_EQ(first, 0);  // nothing received yet: 0
    EXPECT_EQ(second, 0);
    answer(Command::Battery, {0, 80, 1});
    answer(Command::Storage, {0, 42});
    EXPECT_EQ(ztGetBatteryStatus(handle_, &first, &second), SDK_OK);
    EXPECT_EQ(ztGetStorageStatus(handle_, &storage), SDK_OK);
    answer(Command::Battery, {0});
    answer(Command::Storage, {0, 1, 2});
    EXPECT_EQ(ztGetBatteryStatus(handle_, &first, &second), SDK_OK);
    EXPECT_EQ(ztGetStorageStatus(handle_, &storage), SDK_OK);
    EXPECT_EQ(first, 80);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(storage, 42);
    EXPECT_EQ(requests(Command::Battery).front(), B{});
    answer(Command::Battery, {1, 9, 9});  // refused: the values stay
    EXPECT_EQ(ztGetBatteryStatus(handle_, &first, &second), SDK_ERR_DEVICE_REFUSED);
    EXPECT_EQ(first, 80);
}

TEST_F(Ops, ClockChecksEveryFieldBeforeSending) {
    answer(Command::Time, {0});
    const std::array<std::uint8_t, 7> good{126, 11, 31, 23, 59, 59, 6};
    EXPECT_EQ(ztSetTime(handle_, good.data()), SDK_OK);
    EXPECT_EQ(requests(Command::Time).back(), (B{1, 126, 11, 31, 23, 59, 59, 6}));
    scanner_->clearFrames();
    const std::vector<std::array<std::uint8_t, 7>> bad = {
        {69, 0, 1, 0, 0, 0, 0},   {126, 12, 1, 0, 0, 0, 0}, {126, 0, 0, 0, 0, 0, 0},  {126, 0, 32, 0, 0, 0, 0},
        {126, 0, 1, 24, 0, 0, 0}, {126, 0, 1, 0, 60, 0, 0}, {126, 0, 1, 0, 0, 60, 0}, {126, 0, 1, 0, 0, 0, 7}};
    for (const auto& t : bad) EXPECT_EQ(ztSetTime(handle_, t.data()), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetTime(handle_, nullptr), SDK_ERR_INVALID_ARG);
    EXPECT_TRUE(nothingSent());

    std::array<std::uint8_t, 7> got{};
    got.fill(0xEE);
    answer(Command::Time, {0, 110, 0, 2, 3, 4, 5, 6, 7});  // 9 bytes: not used
    EXPECT_EQ(ztGetTime(handle_, got.data()), SDK_OK);
    EXPECT_EQ(got[0], 0xEE);
    answer(Command::Time, {0, 110, 0, 2, 3, 4, 5, 6});
    EXPECT_EQ(ztGetTime(handle_, got.data()), SDK_OK);
    EXPECT_EQ(got, (std::array<std::uint8_t, 7>{110, 0, 2, 3, 4, 5, 6}));
}

TEST_F(Ops, PrefixIsSentUnescapedAndReadBackEscaped) {
    answer(Command::Prefix, {0});
    int length = 0;
    EXPECT_EQ(ztSetPrefix(handle_, "a\\tb", &length), SDK_OK);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(ztSetPrefix(handle_, "a\\\\tb", &length), SDK_OK);
    EXPECT_EQ(ztSetPrefix(handle_, "x\\", &length), SDK_OK);
    EXPECT_EQ(ztSetPrefix(handle_, "", &length), SDK_OK);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(requests(Command::Prefix),
              (std::vector<B>{{1, 'a', 9, 'b', 0}, {1, 'a', '\\', 't', 'b', 0}, {1, 'x', '\\', 0}, {1}}));
    scanner_->clearFrames();
    EXPECT_EQ(ztSetPrefix(handle_, "caf\xC3\xA9", &length), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetPrefix(handle_, std::string(64, 'x').c_str(), &length), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetPrefix(handle_, nullptr, &length), SDK_ERR_INVALID_ARG);
    EXPECT_TRUE(nothingSent());
    // 63 characters fit, also when the caller wrote more with escapes.
    std::string tabs;
    for (int i = 0; i < 63; ++i) tabs += "\\t";
    answer(Command::Suffix, {0});
    EXPECT_EQ(ztSetSuffix(handle_, tabs.c_str(), &length), SDK_OK);
    EXPECT_EQ(length, 64);
    EXPECT_EQ(requests(Command::Suffix).back().size(), 65u);
}

TEST_F(Ops, PrefixAndSuffixReads) {
    char text[64];
    int length = 0;
    answer(Command::Prefix, {0, '\r', '\n', 0});
    ASSERT_EQ(ztGetPrefix(handle_, text, &length), SDK_OK);
    EXPECT_STREQ(text, "\\r\\n");
    EXPECT_EQ(length, 3);
    EXPECT_EQ(requests(Command::Prefix).back(), (B{0}));
    answer(Command::Suffix, {0, 'o', 'k', 0});
    ASSERT_EQ(ztGetSuffix(handle_, text, &length), SDK_OK);
    EXPECT_STREQ(text, "ok");
    EXPECT_EQ(requests(Command::Suffix).size(), 1u);
    B tooLong{0};
    for (int i = 0; i < 40; ++i) tooLong.push_back('\t');  // 80 characters once escaped
    tooLong.push_back(0);
    answer(Command::Suffix, tooLong);
    EXPECT_EQ(ztGetSuffix(handle_, text, &length), SDK_ERR_INVALID_ARG);
}

TEST_F(Ops, SymbologyPairs) {
    answer(Command::Symbology, {0});
    EXPECT_EQ(ztSetSymbologyOption(handle_, 27, 24, 4), SDK_OK);
    EXPECT_EQ(requests(Command::Symbology).back(), (B{1, 27, 24, 4}));
    scanner_->clearFrames();
    int value = -1;
    // Hidden rows, unknown pairs and groups outside the table never reach the scanner.
    for (auto [g, i] : std::vector<std::pair<int, int>>{
             {17, 47}, {18, 15}, {19, 0}, {35, 1}, {36, 0}, {63, 0}, {28, 0}, {16, 0}, {69, 0}, {-1, 0}, {17, 65536}}) {
        EXPECT_EQ(ztGetSymbologyOption(handle_, g, i, &value), SDK_ERR_UNSUPPORTED_OPTION) << g << "/" << i;
        EXPECT_EQ(ztSetSymbologyOption(handle_, g, i, 1), SDK_ERR_UNSUPPORTED_OPTION) << g << "/" << i;
    }
    EXPECT_EQ(ztGetSymbologyOption(handle_, 17, 47, nullptr), SDK_ERR_UNSUPPORTED_OPTION);  // -21 before -18
    EXPECT_EQ(ztGetSymbologyOption(handle_, 17, 0, nullptr), SDK_ERR_INVALID_ARG);
    EXPECT_TRUE(nothingSent());
    answer(Command::Symbology, {0, 35, 0, 1});
    EXPECT_EQ(ztGetSymbologyOption(handle_, 35, 0, &value), SDK_OK);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(requests(Command::Symbology).back(), (B{0, 35, 0}));
    answer(Command::Symbology, {0, 35, 0});
    EXPECT_EQ(ztGetSymbologyOption(handle_, 35, 0, &value), SDK_OK);
    EXPECT_EQ(value, 0);
}

TEST_F(Ops, EveryOfferedPairIsAccepted) {
    answer(Command::Symbology, {0});
    const std::vector<std::pair<int, std::vector<int>>> offered = {
        {17, {0, 23, 41}}, {18, {0, 41, 47, 12}}, {20, {0}},     {21, {0, 2}},      {22, {0}},
        {23, {0}},         {24, {0, 3, 41, 17}},  {25, {0, 41}}, {26, {0, 41, 51}}, {27, {0, 3, 41, 24, 25}},
        {29, {0, 3, 41}},  {32, {0, 3, 4, 41}},   {35, {0}}};
    int count = 0;
    for (const auto& [group, items] : offered) {
        for (int item : items) {
            EXPECT_EQ(ztSetSymbologyOption(handle_, group, item, 1), SDK_OK) << group << "/" << item;
            ++count;
        }
    }
    EXPECT_EQ(count, 34);
}

TEST_F(Ops, ConfigurationSetsSendItemAndData) {
    answer(Command::Config, {0});
    const std::array<std::uint8_t, 6> id{1, 2, 3, 4, 5, 6};
    EXPECT_EQ(ztSetBluetoothID(handle_, id.data()), SDK_OK);
    EXPECT_EQ(ztSetBluetoothSerial(handle_, "AB12"), SDK_OK);
    EXPECT_EQ(ztSetBluetoothPin(handle_, "0420"), SDK_OK);
    EXPECT_EQ(ztClearAllData(handle_), SDK_OK);
    EXPECT_EQ(ztSetSleepModeTime(handle_, 10), SDK_OK);
    EXPECT_EQ(ztSetDefault(handle_), SDK_OK);
    EXPECT_EQ(ztSetConnectBeepDelayTime(handle_, 3000), SDK_OK);
    EXPECT_EQ(ztSetDisconnectBeepDelayTime(handle_, 258), SDK_OK);
    EXPECT_EQ(ztSetDeleteSignal(handle_, 7), SDK_OK);
    EXPECT_EQ(ztSetNoBtConnectNotScanStatus(handle_, 0), SDK_OK);
    EXPECT_EQ(requests(Command::Config), (std::vector<B>{{1, 0, 0, 1, 2, 3, 4, 5, 6},
                                                         {1, 1, 0, 'A', 'B', '1', '2', 0},
                                                         {1, 3, 0, '0', '4', '2', '0', 0},
                                                         {1, 4, 0},
                                                         {1, 5, 0, 10, 0, 0, 0},
                                                         {1, 6, 0},
                                                         {1, 7, 0, 0xB8, 0x0B, 0, 0},
                                                         {1, 8, 0, 2, 1, 0, 0},
                                                         {1, 10, 0, 1},
                                                         {1, 15, 0, 0}}));
}

TEST_F(Ops, ConfigurationChecksSendNothing) {
    EXPECT_EQ(ztSetBluetoothSerial(handle_, std::string(23, 'A').c_str()), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetBluetoothSerial(handle_, "AB-12"), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetBluetoothSerial(handle_, ""), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetBluetoothPin(handle_, "123"), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetBluetoothPin(handle_, "12345"), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetBluetoothPin(handle_, "12a4"), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetBluetoothID(handle_, nullptr), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetSleepModeTime(handle_, 11), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetConnectBeepDelayTime(handle_, 3001), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztSetDisconnectBeepDelayTime(handle_, 0xFFFFFFFFu), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztGetSleepModeTime(handle_, nullptr), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztGetDeleteSignal(handle_, nullptr), SDK_ERR_INVALID_ARG);
    EXPECT_TRUE(nothingSent());
    EXPECT_EQ(ztSetBluetoothPin(nullptr, "1234"), SDK_ERR_INVALID_HANDLE);
}

TEST_F(Ops, ConfigurationGetsAreCheckedStrictly) {
    std::array<std::uint8_t, 6> id{};
    answer(Command::Config, {0, 9, 8, 7, 6, 5, 4});
    EXPECT_EQ(ztGetBluetoothID(handle_, id.data()), SDK_OK);
    EXPECT_EQ(id, (std::array<std::uint8_t, 6>{9, 8, 7, 6, 5, 4}));
    EXPECT_EQ(requests(Command::Config).back(), (B{0, 0, 0}));
    answer(Command::Config, {0, 9, 8, 7});
    EXPECT_EQ(ztGetBluetoothID(handle_, id.data()), SDK_ERR_DEVICE_REFUSED);

    char serial[23];
    answer(Command::Config, {0, 'S', 'N', '9', 0});
    EXPECT_EQ(ztGetBluetoothSerial(handle_, serial), SDK_OK);
    EXPECT_STREQ(serial, "SN9");
    for (const B& bad : {B{0, 'S', '-', 0}, B{0, 0}, B{0, 'S', 'N'}, B{0, 'S', 0, 0}}) {
        answer(Command::Config, bad);
        EXPECT_EQ(ztGetBluetoothSerial(handle_, serial), SDK_ERR_DEVICE_REFUSED);
    }
    B longest{0};
    longest.insert(longest.end(), 22, 'z');
    longest.push_back(0);
    answer(Command::Config, longest);
    EXPECT_EQ(ztGetBluetoothSerial(handle_, serial), SDK_OK);
    EXPECT_EQ(std::strlen(serial), 22u);
    longest.insert(longest.begin() + 1, 'z');
    answer(Command::Config, longest);
    EXPECT_EQ(ztGetBluetoothSerial(handle_, serial), SDK_ERR_DEVICE_REFUSED);

    char pin[5];
    answer(Command::Config, {0, '1', '2', '3', '4', 0});
    EXPECT_EQ(ztGetBluetoothPin(handle_, pin), SDK_OK);
    EXPECT_STREQ(pin, "1234");
    answer(Command::Config, {0, '1', '2', '3', 0});
    EXPECT_EQ(ztGetBluetoothPin(handle_, pin), SDK_ERR_DEVICE_REFUSED);

    std::array<std::uint8_t, 2> version{};
    answer(Command::Config, {0, '1', '7'});
    EXPECT_EQ(ztGetImageVersion(handle_, version.data()), SDK_OK);
    EXPECT_EQ(version[1], '7');

    int value = -1;
    answer(Command::Config, {0, 0xB8, 0x0B, 0, 0});
    EXPECT_EQ(ztGetConnectBeepDelayTime(handle_, &value), SDK_OK);
    EXPECT_EQ(value, 3000);
    answer(Command::Config, {0, 1});
    EXPECT_EQ(ztGetSleepModeTime(handle_, &value), SDK_ERR_DEVICE_REFUSED);
    answer(Command::Config, {1});
    EXPECT_EQ(ztGetSleepModeTime(handle_, &value), SDK_ERR_DEVICE_REFUSED);

    unsigned char flag = 9;
    answer(Command::Config, {0, 1});
    EXPECT_EQ(ztGetCancelBtnStatus(handle_, &flag), SDK_OK);
    EXPECT_EQ(flag, 1);
    answer(Command::Config, {0, 2});  // only 1 means set
    EXPECT_EQ(ztGetScanTimeMilSecOn(handle_, &flag), SDK_OK);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(requests(Command::Config).back(), (B{0, 13, 0}));
}

TEST_F(Ops, StatusOtherThanZeroOrOneEndsWithSuccessAndUsesNothing) {
    int value = -1;
    answer(Command::Config, {7, 1, 2, 3, 4});
    EXPECT_EQ(ztGetSleepModeTime(handle_, &value), SDK_OK);
    EXPECT_EQ(value, 0);  // loaded before the exchange
    answer(Command::Buzzer, {2});
    EXPECT_EQ(ztSetBuzzerVolume(handle_, 1), SDK_OK);
}

TEST_F(Ops, SecondNamesBehaveLikeTheirTwins) {
    answer(Command::Buzzer, {0, 3});
    int a = -1, b = -1;
    EXPECT_EQ(NrBtBarcodeGetBuzzerVolume(handle_, &a), SDK_OK);
    EXPECT_EQ(ztGetBuzzerVolume(handle_, &b), SDK_OK);
    EXPECT_EQ(a, b);
    EXPECT_EQ(NrBtBarcodeSetBuzzerVolume(handle_, 9), ztSetBuzzerVolume(handle_, 9));
    EXPECT_EQ(NrBtBarcodeGetSymbologyOption(handle_, 17, 47, &a), SDK_ERR_UNSUPPORTED_OPTION);
    EXPECT_EQ(NrBtBarcodeGetStorageStatus(nullptr, &a), SDK_ERR_INVALID_HANDLE);
    EXPECT_EQ(reinterpret_cast<void*>(&NrBtBarcodeSetPrefix), reinterpret_cast<void*>(&ztSetPrefix));
    EXPECT_EQ(reinterpret_cast<void*>(&NrBtBarcodeCollectingOnce), reinterpret_cast<void*>(&ztCollectingOnce));
}

}  // namespace
}  // namespace zt::sdk::test
