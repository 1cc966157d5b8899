// Reading and writing scanners' settings: info, get, set, set-time, symbology, erase and defaults,
// against simulated scanners whose state the test checks.
#include "ztctl_fixture.h"

#include <chrono>
#include <ctime>

namespace ztctl::test {
namespace {

using zt::sim::ScannerState;

class Settings : public ZtctlTest {};

TEST_F(Settings, InfoShowsEveryValueWithTheNameAndEscapedTexts) {
    writeRegistry({{5, "ZT-550 00005"}});
    auto& scanner = simulator.addScanner(5);
    scanner.updateState([](ScannerState& s) {
        s.prefix = "\x1b>";
        s.suffix = "\r\n";
        s.buzzer = 2;
        s.scanMode = 1;
        s.scanValue = 500;
        s.flags = {1, 0, 1, 0, 0, 1};
    });
    const auto text = ztctl({"info", "5", "9"});
    EXPECT_EQ(text.status, 1) << "COM9 does not exist";
    EXPECT_EQ(text.err, "COM9: SDK_ERR_PORT_UNAVAILABLE (-3): no such port\n");
    const auto shown = lines(text.out);
    ASSERT_EQ(shown.size(), 20U) << text.out;
    EXPECT_EQ(shown[0], "COM5 (ZT-550 00005)");
    EXPECT_EQ(shown[1], "  image-version:          1.2");
    EXPECT_EQ(shown[2], "  serial:                 SIM00005");
    EXPECT_EQ(shown[3], "  bluetooth-id:           02:5A:54:00:00:05");
    EXPECT_EQ(shown[7], "  buzzer-volume:          2");
    EXPECT_EQ(shown[10], "  scan-mode:              1 500");
    EXPECT_EQ(shown[11], "  prefix:                 \\x1b>");
    EXPECT_EQ(shown[12], "  suffix:                 \\r\\n");
    EXPECT_EQ(shown[14], "  delete-signal:          on");
    EXPECT_EQ(shown[19], "  no-scan-unconnected:    on");
}

TEST_F(Settings, InfoAsJson) {
    auto& scanner = simulator.addScanner(5);
    scanner.updateState([](ScannerState& s) { s.suffix = "\t\"\\"; });
    const auto json = ztctl({"info", "COM5", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_TRUE(json.out.starts_with(R"({"port":"COM5","name":null,"image_version":"1.2","serial":"SIM00005",)"))
        << json.out;
    EXPECT_NE(json.out.find(R"("battery":{"first":100,"second":0},"storage":0,)"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find(R"("suffix":"\\t\"\\\\","sleep_time":5,"delete_signal":false,)"), std::string::npos)
        << json.out;
    EXPECT_EQ(lines(json.out).size(), 1U);
}

TEST_F(Settings, SetWritesEveryScannerAndGetReadsItBack) {
    auto& five = simulator.addScanner(5);
    auto& six = simulator.addScanner(6);
    const auto set = ztctl({"set", "5", "COM6", "prefix", ">\\t"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "COM5: prefix done\nCOM6: prefix done\n");
    EXPECT_EQ(five.state().prefix, ">\t");
    EXPECT_EQ(six.state().prefix, ">\t");
    const auto get = ztctl({"get", "6", "prefix"});
    EXPECT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(get.out, ">\\t\n");
}

TEST_F(Settings, SetTimeWritesTheGivenOrTheLocalTime) {
    auto& five = simulator.addScanner(5);
    const auto given = ztctl({"set-time", "5", "--time", "20240229123456"});
    EXPECT_EQ(given.status, 0) << given.err;
    const zt::sim::ScannerTime leapDay{124, 1, 29, 12, 34, 56, 4};
    EXPECT_EQ(five.state().clock, leapDay);
    const auto now = ztctl({"set-time", "5"});
    EXPECT_EQ(now.status, 0) << now.err;
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    EXPECT_EQ(five.state().clock[0], local.tm_year);
    EXPECT_EQ(five.state().clock[6], local.tm_wday);
}

TEST_F(Settings, ScanModeAndFlagsTakeTheirOwnForms) {
    auto& five = simulator.addScanner(5);
    EXPECT_EQ(ztctl({"set", "5", "scan-mode", "2", "9999"}).status, 0);
    EXPECT_EQ(five.state().scanMode, 2);
    EXPECT_EQ(five.state().scanValue, 9999U);
    EXPECT_EQ(ztctl({"set", "5", "sleep-led", "on"}).status, 0);
    EXPECT_EQ(five.state().flags[1], 1);
}

TEST_F(Settings, ASilentScannerTimesOut) {
    auto& five = simulator.addScanner(5);
    five.teach(zt::wire::Command::Buzzer, [](const auto&, auto) { return std::optional<zt::sim::Bytes>{}; });
    const auto result = ztctl({"get", "5", "buzzer-volume"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "COM5: buzzer-volume: SDK_ERR_TIMEOUT (-9): the scanner did not answer\n");
    EXPECT_EQ(result.out, "");
}

TEST_F(Settings, ATimeTheScannerDidNotGiveIsAFailureNotADate) {
    auto& five = simulator.addScanner(5);
    // Status "done" without the seven time bytes: the SDK succeeds and writes nothing.
    five.teach(zt::wire::Command::Time, [](const auto&, auto) { return std::optional<zt::sim::Bytes>{{0x00}}; });
    const auto get = ztctl({"get", "5", "time"});
    EXPECT_EQ(get.status, 1);
    EXPECT_EQ(get.out, "");
    EXPECT_EQ(get.err, "COM5: time: the scanner's answer held no value; nothing was read\n");
    const auto info = ztctl({"info", "5", "--json"});
    EXPECT_EQ(info.status, 1);
    EXPECT_NE(info.out.find(R"("time":null,)"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find(R"("buzzer_volume":3,)"), std::string::npos) << "the rest is still read";
}

TEST_F(Settings, SymbologyByNumbersOrName) {
    auto& five = simulator.addScanner(5);
    const auto set = ztctl({"symbology", "5", "set", "upc-a", "0"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "COM5: UPC-A set to 0\n");
    EXPECT_EQ(five.state().symbology.at({17, 0}), 0);
    const auto list = ztctl({"symbology", "5"});
    EXPECT_EQ(list.status, 0) << list.err;
    const auto rows = lines(list.out);
    ASSERT_EQ(rows.size(), 34U);
    EXPECT_EQ(rows[0], "17  0   0  UPC-A");
    EXPECT_EQ(rows[25], "27 25  30  Interleaved 2 of 5 Lenght MAX");
}

TEST_F(Settings, LengthBoundsCannotCross) {
    auto& five = simulator.addScanner(5);
    const auto result = ztctl({"symbology", "5", "set", "27", "24", "31"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("would be above the maximum length 30; nothing was written"), std::string::npos)
        << result.err;
    EXPECT_EQ(five.state().symbology.at({27, 24}), 3);
}

TEST_F(Settings, EraseAndDefaultsOnceConfirmed) {
    auto& five = simulator.addScanner(5);
    five.fillRecords(4);
    five.updateState([](ScannerState& s) { s.buzzer = 0; });
    const auto erase = ztctl({"erase", "5", "--yes"});
    EXPECT_EQ(erase.status, 0) << erase.err;
    EXPECT_EQ(five.recordCount(), 0U);
    const auto defaults = ztctl({"defaults", "5"}, "yes\n");
    EXPECT_EQ(defaults.status, 0) << defaults.err;
    EXPECT_EQ(defaults.out, "COM5: defaults done\n");
    EXPECT_EQ(five.state().buzzer, 3);
}

}  // namespace
}  // namespace ztctl::test
