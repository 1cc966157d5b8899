// Live barcodes that arrive while a one-shot command works: each is reported, never acknowledged and
// dropped; a download opens each scanner only for its own download.
#include "ztctl_fixture.h"

#include <atomic>

namespace ztctl::test {
namespace {

using zt::sim::Bytes;
using zt::wire::Command;

class LiveReports : public ZtctlTest {
protected:
    // While 5 answers its buzzer volume, 6 (open, waiting for its turn) sends a scan and a deleted-data
    // report and sees both acknowledged by the SDK.
    void scanFromSixWhileFiveIsRead(zt::sim::SimScanner& five, zt::sim::SimScanner& six) {
        five.teach(Command::Buzzer, [this, &six](const auto&, auto) {
            const auto before = six.frames().size();
            six.sendScan("during five");
            six.sendScan("gone", true);
            acknowledged = six.waitForFrames(before + 2, 5s);
            return std::optional<Bytes>{{0x00, 0x02}};
        });
    }
    std::atomic<bool> acknowledged{false};
};

TEST_F(LiveReports, AScanSentWhileAnotherScannerIsWorkedOnIsReported) {
    writeRegistry({{6, "ZT-550 00006"}});
    auto& five = simulator.addScanner(5);
    auto& six = simulator.addScanner(6);
    scanFromSixWhileFiveIsRead(five, six);
    const auto result = ztctl({"info", "5", "6"});
    EXPECT_EQ(result.status, 0) << result.err;
    ASSERT_TRUE(acknowledged);
    EXPECT_NE(result.err.find("COM6 (ZT-550 00006): live barcode 2024/05/17 10:30:00: during five\n"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("COM6 (ZT-550 00006): deleted-data report 2024/05/17 10:30:00: gone\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(lines(result.out).size(), 40U) << "stdout holds the two scanners' values only";
}

TEST_F(LiveReports, AsJsonLinesOnStderrWithJson) {
    auto& five = simulator.addScanner(5);
    auto& six = simulator.addScanner(6);
    scanFromSixWhileFiveIsRead(five, six);
    const auto result = ztctl({"info", "5", "6", "--json"});
    EXPECT_EQ(result.status, 0) << result.err;
    ASSERT_TRUE(acknowledged);
    EXPECT_NE(result.err.find(R"({"time":"2024/05/17 10:30:00","port":"COM6","name":null,"data":"gone","deleted":true})"
                              "\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(lines(result.out).size(), 2U);
}

TEST_F(LiveReports, ADownloadOpensEachScannerOnlyForItsOwnDownload) {
    auto& five = simulator.addScanner(5);
    auto& six = simulator.addScanner(6);
    five.fillRecords(3);
    six.fillRecords(2);
    std::atomic<std::size_t> sixFrames{0};
    // Looks at 6 whenever 5 answers, from its handshake to its last record.
    five.mutateAnswers(100, [&](auto&, auto&) { sixFrames = std::max(sixFrames.load(), six.frames().size()); });
    const auto result = ztctl({"download", "5", "6", "--out", folder().string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(sixFrames, 0U) << "6 was opened while 5 downloaded";
    EXPECT_FALSE(six.frames().empty());
    EXPECT_EQ(lines(readFile(folder() / "COM6_ScanData.txt")).size(), 2U);
}

}  // namespace
}  // namespace ztctl::test
