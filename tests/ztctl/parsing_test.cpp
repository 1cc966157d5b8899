// What the command line takes: ports, option words, setting values and times. Every refusal happens
// here, before a scanner is opened.
#include "arguments.h"
#include "ports.h"
#include "scanner_time.h"
#include "setting_keys.h"
#include "setting_values.h"
#include "symbology_options.h"
#include "usage_error.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace ztctl {
namespace {

using Words = std::vector<std::string_view>;

TEST(Ports, NumberOrComPrefixInAnyCase) {
    EXPECT_EQ(parsePort("5").port, 5U);
    EXPECT_EQ(parsePort("COM5").port, 5U);
    EXPECT_EQ(parsePort("com17").port, 17U);
    EXPECT_EQ(parsePort("0").match, PortMatch::Port);
    EXPECT_EQ(parsePort("100").match, PortMatch::Port);
}

TEST(Ports, OutOfRangeOrMalformedPortsAreRefused) {
    EXPECT_EQ(parsePort("101").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("COM").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("COM-1").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("99999999999999999999").match, PortMatch::BadPort);
    EXPECT_EQ(parsePort("buzzer-volume").match, PortMatch::NotPort);
    EXPECT_EQ(parsePort("-1").match, PortMatch::NotPort);
    EXPECT_THROW(static_cast<void>(requirePort("5x")), UsageError);
    const Words twice{"5", "COM5"};
    EXPECT_THROW(static_cast<void>(parsePorts(twice)), UsageError);
    EXPECT_THROW(static_cast<void>(parsePorts(Words{})), UsageError);
}

TEST(Arguments, OptionsMayStandAnywhereAndTakeValuesBothWays) {
    const Words words{"5", "--out", "dir", "6", "--no-time", "--time=20240101000000"};
    const Arguments args(words, {{"--out", true}, {"--no-time", false}, {"--time", true}});
    EXPECT_EQ(args.positionals().size(), 2U);
    EXPECT_EQ(args.value("--out"), "dir");
    EXPECT_EQ(args.value("--time"), "20240101000000");
    EXPECT_TRUE(args.has("--no-time"));
    EXPECT_FALSE(args.help());
}

TEST(Arguments, DoubleDashEndsOptionsAndNegativeNumbersArePositional) {
    const Words words{"-1", "--", "--json"};
    const Arguments args(words, {{"--json", false}});
    EXPECT_FALSE(args.has("--json"));
    ASSERT_EQ(args.positionals().size(), 2U);
    EXPECT_EQ(args.positionals()[0], "-1");
    EXPECT_TRUE(Arguments(Words{"-h"}, {}).help());
}

TEST(Arguments, UnknownOptionsAndMissingValuesAreRefused) {
    EXPECT_THROW(Arguments(Words{"--bogus"}, {}), UsageError);
    EXPECT_THROW(Arguments(Words{"--out"}, {{"--out", true}}), UsageError);
    EXPECT_THROW(Arguments(Words{"--json=1"}, {{"--json", false}}), UsageError);
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
    EXPECT_EQ(unescapeBackslashNotation("a\\tb\\N\\R\\\\t\\x\\"), "a\tb\n\r\\t\\x\\");
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

TEST(ScannerTimes, ParsedFromDigitsWithTheDayOfWeek) {
    // 29 February 2024 was a Thursday.
    const ScannerTime leap{124, 1, 29, 12, 34, 56, 4};
    EXPECT_EQ(parseScannerTime("20240229123456"), leap);
    EXPECT_EQ(parseScannerTime("19700101000000")->at(0), 70);
    EXPECT_EQ(parseScannerTime("21551231235959")->at(0), 255);
    for (const char* bad : {"19691231235959", "21560101000000", "20230229000000", "20240431000000", "20240101240000",
                            "2024010100000", "2024010100000x", "20240101 00000"}) {
        EXPECT_FALSE(parseScannerTime(bad).has_value()) << bad;
    }
}

TEST(ScannerTimes, FormattedAndCheckedLikeTheProgramDoes) {
    EXPECT_EQ(formatScannerTime({110, 2, 5, 14, 7, 9, 5}), "2010/03/05 14:07:09");
    EXPECT_TRUE(plausibleTime({110, 11, 31, 23, 59, 59, 99}));
    EXPECT_FALSE(plausibleTime({110, 12, 5, 0, 0, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 1, 24, 0, 0, 0}));
    EXPECT_FALSE(plausibleTime({110, 0, 1, 0, 60, 0, 0}));
    const auto now = localScannerTime();
    EXPECT_TRUE(plausibleTime(now));
    EXPECT_GE(now[0], 70);
}

TEST(SymbologyOptions, ExactlyTheOfferedPairsWithTheirRanges) {
    EXPECT_EQ(symbologyOptions().size(), 34U);
    EXPECT_EQ(findSymbologyOption(17, 47), nullptr);  // a pair the scanner pages never offer
    EXPECT_EQ(findSymbologyOption(27, 24)->maxValue, 255);
    EXPECT_EQ(findSymbologyOption(22, 0)->maxValue, 2);
    EXPECT_EQ(findSymbologyOption("interleaved 2 of 5 lenght max")->defaultValue, 30);
    EXPECT_EQ(findSymbologyOption("Interleaved 2 of 5 Length Max"), nullptr);
}

}  // namespace
}  // namespace ztctl
