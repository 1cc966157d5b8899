// Live barcodes: printed as they arrive, with the scanner's name, in text or JSON; the clock set on
// connection; a dropped scanner reconnected; every scanner closed on SIGINT or SIGTERM.
#include "ztctl_fixture.h"

#include <csignal>
#include <cstdio>
#include <ctime>

namespace ztctl::test {
namespace {

class Listen : public ZtctlTest {};

std::string shownTime(const zt::sim::ScannerTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d", t[0] + 1900, t[1] + 1, t[2], t[3], t[4], t[5]);
    return text;
}

TEST_F(Listen, PrintsLiveBarcodesAndDeletedReportsUntilSigterm) {
    writeRegistry({{5, "ZT-550 00005"}});
    auto& five = simulator.addScanner(5);
    auto& six = simulator.addScanner(6);
    auto child = startZtctl({"listen", "5", "6"});
    ASSERT_TRUE(child->waitForStderr("COM5: connected, clock set")) << child->err();
    ASSERT_TRUE(child->waitForStderr("COM6: connected, clock set")) << child->err();

    // The clock was set from this machine's clock; the scan carries the scanner's clock.
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    five.sendScan("A\tB\\C\x1b");
    ASSERT_TRUE(child->waitForStdout("\tCOM5\t")) << child->out();
    six.sendScan("gone", true);
    ASSERT_TRUE(child->waitForStdout("deleted\n")) << child->out();
    child->signal(SIGTERM);
    EXPECT_EQ(child->wait(), 0) << child->err();
    EXPECT_NE(child->err().find("every scanner closed"), std::string::npos);

    const auto printed = lines(child->out());
    ASSERT_EQ(printed.size(), 2U) << child->out();
    const auto time = shownTime(five.state().clock);
    EXPECT_EQ(printed[0], time + "\tCOM5\tZT-550 00005\tA\\tB\\\\C\\x1b");
    EXPECT_TRUE(printed[1].ends_with("\tCOM6\t\tgone\tdeleted")) << printed[1];
    EXPECT_EQ(five.state().clock[0], local.tm_year);
}

TEST_F(Listen, NoWayToWaitForSignalsIsAFailureWithAReason) {
    simulator.addScanner(5);
    auto child = startZtctl({"listen", "5"}, pollFails());
    EXPECT_EQ(child->wait(), 1) << child->err();
    EXPECT_NE(child->err().find("ztctl: cannot wait for barcodes and signals: Cannot allocate memory"),
              std::string::npos)
        << child->err();
    EXPECT_NE(child->err().find("every scanner closed"), std::string::npos) << child->err();
}

TEST_F(Listen, JsonLinesAndSigint) {
    auto& five = simulator.addScanner(5);
    auto child = startZtctl({"listen", "COM5", "--json"});
    ASSERT_TRUE(child->waitForStderr("COM5: connected, clock set")) << child->err();
    five.sendScan("caf\xc3\xa9\r\n\"q\"");
    ASSERT_TRUE(child->waitForStdout("}\n")) << child->out();
    child->signal(SIGINT);
    EXPECT_EQ(child->wait(), 0) << child->err();
    const auto printed = lines(child->out());
    ASSERT_EQ(printed.size(), 1U);
    EXPECT_TRUE(printed[0].starts_with("{\"time\":\"")) << printed[0];
    EXPECT_TRUE(printed[0].ends_with(
        "\",\"port\":\"COM5\",\"name\":null,\"data\":\"caf\xc3\xa9\\\\r\\\\n\\\"q\\\"\",\"deleted\":false}"))
        << printed[0];
}

TEST_F(Listen, ADroppedScannerIsReconnected) {
    auto& five = simulator.addScanner(5);
    auto child = startZtctl({"listen", "5", "--retries", "50"},
                            {{"ZTCTL_RECONNECT_DELAY_MS", "100"}, {"ZTCTL_RETRY_DELAY_MS", "50"}});
    ASSERT_TRUE(child->waitForStderr("COM5: connected, clock set")) << child->err();
    five.hangUp();
    ASSERT_TRUE(child->waitForStderr("COM5: connection lost; reconnecting in 0.1 s")) << child->err();
    ASSERT_TRUE(child->waitForStderr("COM5: reconnect failed: SDK_ERR_PORT_UNAVAILABLE (-3)")) << child->err();
    five.comeBack();
    ASSERT_TRUE(child->waitForStderr("COM5: reconnected, clock set")) << child->err();
    five.sendScan("after");
    ASSERT_TRUE(child->waitForStdout("\tafter\n")) << child->out();
    child->signal(SIGTERM);
    EXPECT_EQ(child->wait(), 0) << child->err();
}

TEST_F(Listen, EndsByItselfWhenTheLastScannerIsGone) {
    auto& five = simulator.addScanner(5);
    auto child = startZtctl({"listen", "5", "--retries", "0"});
    ASSERT_TRUE(child->waitForStderr("COM5: connected, clock set")) << child->err();
    five.hangUp();
    EXPECT_EQ(child->wait(10s), 1);
    EXPECT_NE(child->err().find("COM5: connection lost (no reconnect"), std::string::npos) << child->err();
}

}  // namespace
}  // namespace ztctl::test
