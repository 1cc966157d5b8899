// Downloading stored records into scan-data files: the exact bytes, the file names, and that an earlier
// file survives a download that fails.
#include "ztctl_fixture.h"

#include <csignal>

namespace ztctl::test {
namespace {

using zt::sim::makeScannerTime;
using zt::sim::StoredRecord;

class Download : public ZtctlTest {};

TEST_F(Download, WritesEachScannersRecordsNewestFirstByteForByte) {
    writeRegistry({{5, "ZT-550 a/../b"}});
    auto& five = simulator.addScanner(5);
    simulator.addScanner(6);  // nothing stored, no name
    five.addRecords({
        StoredRecord{0, makeScannerTime(2010, 5, 17, 14, 3, 9), 0.0, 12.5, "ABC123"},
        StoredRecord{7, makeScannerTime(2011, 12, 1, 0, 0, 1), -0.5, 1e6, "tab\there\r\nnext\\ \xe9\xff"},
        StoredRecord{1, makeScannerTime(2009, 1, 2, 3, 4, 5), 3.14159, 2.00005, ""},
    });
    writeFile(folder() / "COM6_ScanData.txt", "an earlier download\r\n");
    const auto out = folder() / "out dir";
    std::filesystem::create_directory(out);
    writeFile(out / "COM6_ScanData.txt", "an earlier download\r\n");

    const auto result = ztctl({"download", "5", "6", "--out", out.string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFile(out / "ZT-550 a_.._b_ScanData.txt"),
              "     1 2011/12/01 00:00:01 -0.5000 1000000.0000 tab\there\r\nnext\\ \xe9\xff\r\n"
              "     2 2010/05/17 14:03:09 0.0000 12.5000 ABC123\r\n"
              "     3 2009/01/02 03:04:05 3.1416 2.0000 \r\n");
    EXPECT_EQ(readFile(out / "COM6_ScanData.txt"), "") << "an empty store replaces the earlier file with an empty one";
    EXPECT_EQ(readFile(folder() / "COM6_ScanData.txt"), "an earlier download\r\n") << "written outside --out";
    EXPECT_TRUE(hiddenFiles(out).empty());
    EXPECT_NE(result.out.find("COM5 (ZT-550 a/../b): 3 records -> "), std::string::npos) << result.out;
    // Not a terminal: plain progress lines.
    EXPECT_NE(result.err.find("COM5 (ZT-550 a/../b): 3 of 3 records\n"), std::string::npos) << result.err;
}

// A command that cannot watch for stop signals stops its work (as on a signal) and fails, saying why.
TEST_F(Download, NoWayToWaitForSignalsStopsTheDownloadAndFails) {
    simulator.addScanner(5).fillRecords(3);
    auto child = startZtctl({"download", "5", "--out", folder().string()}, pollFails());
    EXPECT_EQ(child->wait(), 1) << child->err();
    EXPECT_NE(child->err().find("ztctl: cannot wait for signals and reports: Cannot allocate memory"),
              std::string::npos)
        << child->err();
    EXPECT_TRUE(hiddenFiles(folder()).empty());
}

TEST_F(Download, WithoutTimeAndIntoTheWorkingFolderByDefault) {
    auto& five = simulator.addScanner(5);
    five.addRecords({StoredRecord{0, makeScannerTime(2010, 5, 17, 14, 3, 9), 0.0, 12.5, "ABC123"}});
    const auto result = run(ZTCTL_PROGRAM, {"download", "COM5", "--no-time"}, environment(), {});
    ASSERT_EQ(result.status, 0) << result.err;
    // run() keeps this process's working folder; the file lands there.
    const auto file = std::filesystem::current_path() / "COM5_ScanData.txt";
    EXPECT_EQ(readFile(file), "     1 0.0000 12.5000 ABC123\r\n");
    std::filesystem::remove(file);
}

TEST_F(Download, ScannersWithTheSameNameGetTheirPortInTheFileName) {
    writeRegistry({{5, "ZT-550 twin"}, {6, "ZT-550 twin"}});
    simulator.addScanner(5).fillRecords(1);
    simulator.addScanner(6).fillRecords(2);
    const auto result = ztctl({"download", "5", "6", "--out", folder().string()});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(lines(readFile(folder() / "ZT-550 twin (COM5)_ScanData.txt")).size(), 1U);
    EXPECT_EQ(lines(readFile(folder() / "ZT-550 twin (COM6)_ScanData.txt")).size(), 2U);
}

TEST_F(Download, AScannerThatHangsUpLeavesTheEarlierFileIntact) {
    auto& five = simulator.addScanner(5);
    five.fillRecords(300);
    five.setBaud(9600);  // about 15 records a second: the download is under way for a while
    const auto file = folder() / "COM5_ScanData.txt";
    writeFile(file, "     1 the earlier download\r\n");

    auto child = startZtctl({"download", "5", "--out", folder().string()});
    ASSERT_TRUE(child->waitForStderr("COM5: 30 of 300 records")) << child->err();
    five.hangUp();
    EXPECT_EQ(child->wait(), 1);
    EXPECT_NE(child->err().find("COM5: download: SDK_ERR_"), std::string::npos) << child->err();
    EXPECT_NE(child->err().find("COM5_ScanData.txt was left as it was"), std::string::npos) << child->err();
    EXPECT_EQ(readFile(file), "     1 the earlier download\r\n");
    EXPECT_TRUE(hiddenFiles(folder()).empty());
}

TEST_F(Download, InterruptedDownloadReplacesNothing) {
    auto& five = simulator.addScanner(5);
    five.fillRecords(300);
    five.setBaud(9600);
    auto child = startZtctl({"download", "5", "--out", folder().string()});
    ASSERT_TRUE(child->waitForStderr("COM5: 0 of 300 records")) << child->err();
    child->signal(SIGINT);
    EXPECT_EQ(child->wait(5s), 1);
    EXPECT_NE(child->err().find("interrupted"), std::string::npos);
    EXPECT_NE(child->err().find("SDK_ERR_ABORTED (-12)"), std::string::npos) << child->err();
    EXPECT_FALSE(std::filesystem::exists(folder() / "COM5_ScanData.txt"));
    EXPECT_TRUE(hiddenFiles(folder()).empty());
}

TEST_F(Download, ASecondSignalEndsAtOnceAndLeavesNoTemporaryFile) {
    auto& five = simulator.addScanner(5);
    five.fillRecords(300);
    five.setBaud(9600);
    auto child = startZtctl({"download", "5", "--out", folder().string()});
    ASSERT_TRUE(child->waitForStderr("COM5: 0 of 300 records")) << child->err();
    ASSERT_EQ(hiddenFiles(folder()).size(), 1U) << "the download writes its temporary file";
    // Both signals wait while the program is stopped: the second finds the first still being handled.
    child->signal(SIGSTOP);
    child->signal(SIGINT);
    child->signal(SIGTERM);
    child->signal(SIGCONT);
    EXPECT_EQ(child->wait(5s), 130) << child->err();
    EXPECT_NE(child->err().find("ztctl: stopped at once"), std::string::npos) << child->err();
    EXPECT_TRUE(hiddenFiles(folder()).empty());
    EXPECT_FALSE(std::filesystem::exists(folder() / "COM5_ScanData.txt"));
}

}  // namespace
}  // namespace ztctl::test
