// The command line as a user meets it: help, and every kind of bad argument refused with status 2
// before any scanner is opened (no scanner exists here: an open would fail with status 1 instead).
#include "ztctl_fixture.h"

namespace ztctl::test {
namespace {

class CommandLine : public ZtctlTest {};

TEST_F(CommandLine, EverySubcommandHasHelp) {
    for (const std::string command : {"devices", "info", "listen", "download", "set-time", "get", "set", "keys",
                                      "symbology", "erase", "defaults"}) {
        const auto result = ztctl({command, "--help"});
        EXPECT_EQ(result.status, 0) << command;
        EXPECT_TRUE(result.out.starts_with("usage: ztctl " + command)) << result.out;
    }
    const auto overview = ztctl({"--help"});
    EXPECT_EQ(overview.status, 0);
    EXPECT_NE(overview.out.find("download"), std::string::npos);
}

TEST_F(CommandLine, MistakesAreUsageErrorsCaughtBeforeOpening) {
    const std::vector<std::vector<std::string>> mistakes{
        {},
        {"frobnicate"},
        {"info"},
        {"info", "COM101"},
        {"info", "5", "five"},
        {"info", "5", "COM5"},
        {"info", "5", "--bogus"},
        {"get", "5"},
        {"get", "5", "volume"},
        {"set", "5", "buzzer-volume", "4"},
        {"set", "5", "buzzer-volume"},
        {"set", "5", "battery", "1"},
        {"set", "5", "prefix", std::string(64, 'x')},
        {"set", "5", "scan-mode", "1"},
        {"set", "5", "serial", "AB-12"},
        {"set", "5", "pin", "123"},
        {"set", "5", "bluetooth-id", "00:11:22"},
        {"set", "5", "time", "20240230000000"},
        {"set-time", "5", "--time", "2024"},
        {"symbology", "5", "get", "17", "47"},
        {"symbology", "5", "set", "22", "0", "3"},
        {"symbology", "5", "set", "UPC-A", "2"},
        {"symbology", "5", "set", "No Such Code", "1"},
        {"symbology", "5", "toggle"},
        {"download", "5", "--out", "/nonexistent/folder"},
        {"listen", "5", "--retries", "-1"},
        {"erase", "101"},
    };
    for (const auto& args : mistakes) {
        const auto result = ztctl(args);
        std::string shown;
        for (const auto& arg : args) shown += arg + " ";
        EXPECT_EQ(result.status, 2) << shown << "\n" << result.err;
        EXPECT_FALSE(result.err.empty()) << shown;
        EXPECT_EQ(result.err.find("SDK_ERR"), std::string::npos) << shown << ": something was opened";
    }
}

TEST_F(CommandLine, MessagesNameTheProblem) {
    EXPECT_NE(ztctl({"get", "5", "volume"}).err.find("unknown key 'volume' (see 'ztctl keys')"), std::string::npos);
    EXPECT_NE(ztctl({"set", "5", "buzzer-volume", "4"}).err.find("buzzer-volume: invalid value '4' (0..3)"),
              std::string::npos);
    EXPECT_NE(ztctl({"info", "COM101"}).err.find("'COM101' is not a port"), std::string::npos);
}

TEST_F(CommandLine, MissingScannerIsAFailureWithTheSdkResult) {
    const auto result = ztctl({"get", "COM9", "buzzer-volume"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "COM9: SDK_ERR_PORT_UNAVAILABLE (-3): no such port\n");
}

TEST_F(CommandLine, ListenWithoutAnyScannerEndsByItself) {
    const auto result = ztctl({"listen", "9"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("COM9: SDK_ERR_PORT_UNAVAILABLE (-3)"), std::string::npos);
}

TEST_F(CommandLine, DevicesListsThePairedScanners) {
    writeRegistry({{5, "ZT-550 00005"}, {12, "ZT-550 \\\\bs"}, {7, "Headset"}});
    const auto text = ztctl({"devices"});
    EXPECT_EQ(text.status, 0);
    // Listed in the reverse order of the registry keys; the headset is not a scanner.
    EXPECT_EQ(text.out, "COM12\tZT-550 \\\\bs\nCOM5\tZT-550 00005\n");
    const auto json = ztctl({"devices", "--json"});
    EXPECT_EQ(json.out,
              "{\"port\":\"COM12\",\"number\":12,\"name\":\"ZT-550 \\\\bs\"}\n"
              "{\"port\":\"COM5\",\"number\":5,\"name\":\"ZT-550 00005\"}\n");
}

TEST_F(CommandLine, EraseAsksFirstAndANoChangesNothing) {
    auto& scanner = simulator.addScanner(5);
    scanner.fillRecords(3);
    const auto declined = ztctl({"erase", "5"}, "n\n");
    EXPECT_EQ(declined.status, 1);
    EXPECT_NE(declined.err.find("Erase every record stored in COM5? [y/N]"), std::string::npos);
    const auto noInput = ztctl({"defaults", "5"});
    EXPECT_EQ(noInput.status, 1);
    EXPECT_EQ(scanner.recordCount(), 3U);
    EXPECT_TRUE(scanner.frames().empty()) << "the scanner was opened";
}

}  // namespace
}  // namespace ztctl::test
