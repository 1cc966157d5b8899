// What the subcommands take: port lists, setting values and keys. Every refusal happens
// here, before a scanner is opened.
#include "ports.h"
#include "setting_keys.h"
#include "setting_values.h"
#include "usage_error.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace ztctl {
namespace {

using Words = std::vector<std::string_view>;

TEST(Ports, ListsRefuseBadAndRepeatedPorts) {
    EXPECT_EQ(parsePorts(Words{"5", "com6"}), (std::vector<unsigned>{5, 6}));
    EXPECT_THROW(static_cast<void>(requirePort("5x")), UsageError);
    const Words twice{"5", "COM5"};
    EXPECT_THROW(static_cast<void>(parsePorts(twice)), UsageError);
    EXPECT_THROW(static_cast<void>(parsePorts(Words{})), UsageError);
}

TEST(SettingValues, NumbersAreWholeAndInRange) {
    EXPECT_EQ(parseNumber("3000", "delay", 0, 3000), 3000U);
    EXPECT_THROW(static_cast<void>(parseNumber("3001", "delay", 0, 3000)), UsageError);
    EXPECT_THROW(static_cast<void>(parseNumber("-1", "delay", 0, 3000)), UsageError);
    EXPECT_THROW(static_cast<void>(parseNumber("+1", "delay", 0, 3000)), UsageError);
    EXPECT_THROW(static_cast<void>(parseNumber("1.5", "delay", 0, 3000)), UsageError);
    EXPECT_THROW(static_cast<void>(parseNumber("", "delay", 0, 3000)), UsageError);
    EXPECT_THROW(static_cast<void>(parseNumber("99999999999", "delay", 0, 3000)), UsageError);
}

TEST(SettingValues, FlagsAndBluetoothIds) {
    EXPECT_TRUE(parseFlag("ON", "flag"));
    EXPECT_FALSE(parseFlag("0", "flag"));
    EXPECT_THROW(static_cast<void>(parseFlag("2", "flag")), UsageError);
    const std::array<std::uint8_t, 6> id{0x00, 0x11, 0xaa, 0xBB, 0x0c, 0xff};
    EXPECT_EQ(parseBluetoothId("00:11:AA:bb:0C:FF"), id);
    EXPECT_EQ(parseBluetoothId("0011aabb0cff"), id);
    EXPECT_EQ(formatBluetoothId(id), "00:11:AA:BB:0C:FF");
    EXPECT_THROW(static_cast<void>(parseBluetoothId("00:11:AA:BB:0C")), UsageError);
    EXPECT_THROW(static_cast<void>(parseBluetoothId("00:11:AA:BB:0C:FG")), UsageError);
    EXPECT_THROW(static_cast<void>(parseBluetoothId("0:011:AA:BB:0C:FF")), UsageError);
}

TEST(SettingValues, AffixTextsCountTheBytesTheyStandFor) {
    // 63 tabs written as 126 characters fit; one more does not.
    std::string tabs;
    for (int i = 0; i < 63; ++i) tabs += "\\t";
    EXPECT_NO_THROW(checkAffixText(tabs, "prefix"));
    EXPECT_THROW(checkAffixText(tabs + "x", "prefix"), UsageError);
    EXPECT_NO_THROW(checkAffixText("", "prefix"));
    EXPECT_THROW(checkAffixText("caf\xc3\xa9", "prefix"), UsageError);
}

TEST(SettingValues, SerialAndPin) {
    EXPECT_NO_THROW(checkSerial("Ab0123456789012345678Z"));
    EXPECT_THROW(checkSerial("Ab01234567890123456789Z"), UsageError);  // 23
    EXPECT_THROW(checkSerial("AB-1"), UsageError);
    EXPECT_THROW(checkSerial(""), UsageError);
    EXPECT_NO_THROW(checkPin("0042"));
    EXPECT_THROW(checkPin("042"), UsageError);
    EXPECT_THROW(checkPin("0042x"), UsageError);
}

TEST(SettingKeys, ValuesAreCheckedBeforeAnythingIsSent) {
    const auto parse = [](std::string_view key, Words words) { return findSettingKey(key)->parse(words); };
    EXPECT_NO_THROW(static_cast<void>(parse("scan-mode", {"0"})));
    EXPECT_NO_THROW(static_cast<void>(parse("scan-mode", {"2", "9999"})));
    EXPECT_THROW(static_cast<void>(parse("scan-mode", {"0", "5"})), UsageError);
    EXPECT_THROW(static_cast<void>(parse("scan-mode", {"1"})), UsageError);
    EXPECT_THROW(static_cast<void>(parse("scan-mode", {"1", "10000"})), UsageError);
    EXPECT_THROW(static_cast<void>(parse("buzzer-volume", {"4"})), UsageError);
    EXPECT_THROW(static_cast<void>(parse("buzzer-volume", {"1", "2"})), UsageError);
    EXPECT_THROW(static_cast<void>(parse("sleep-time", {"11"})), UsageError);
    EXPECT_THROW(static_cast<void>(parse("time", {"20230229000000"})), UsageError);
    EXPECT_EQ(findSettingKey("battery")->parse, nullptr);
    EXPECT_EQ(findSettingKey("nonsense"), nullptr);
    EXPECT_EQ(jsonName("connect-beep-delay"), "connect_beep_delay");
}

}  // namespace
}  // namespace ztctl
