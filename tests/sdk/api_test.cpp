// The exported C API against simulated scanners: result codes of ztInitialize and ztDeinitialize, the
// exported-call frame, callbacks through the dispatcher, port loss and shutdown.
#include "session/session_registry.h"
#include "sim_fixture.h"
#include "zt330sdk.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <thread>

namespace zt::api_test {
namespace {

using namespace sdk::test;
using sdk::SessionRegistry;
using sdk::Timings;
using ScannerHandle = ::ScannerHandle;

using wire::Command;
using wire::PacketType;

struct Scan {
    ScannerHandle handle;
    sim::Bytes record;
    int length;
    int deleted;
};

// What the callbacks saw; the callbacks are plain functions, so the record is process-wide.
struct CallbackLog {
    Waiter waiter;
    std::vector<ScannerHandle> disconnects;
    std::vector<Scan> scans;
    std::string tag;  // which pair of callbacks was called
};
CallbackLog* gLog = nullptr;

void onDisconnect(ScannerHandle h) {
    gLog->waiter.notify([&] {
        gLog->disconnects.push_back(h);
        gLog->tag = "first";
    });
}
void logScan(ScannerHandle h, const unsigned char* record, int length, int deleted, const char* tag) {
    gLog->waiter.notify([&] {
        gLog->scans.push_back({h, sim::Bytes(record, record + length), length, deleted});
        gLog->tag = tag;
    });
}
void onScan(ScannerHandle h, const unsigned char* record, int length, int deleted) {
    logScan(h, record, length, deleted, "first");
}
void onScanOther(ScannerHandle h, const unsigned char* record, int length, int deleted) {
    logScan(h, record, length, deleted, "second");
}

std::optional<sim::Bytes> batteryAnswer(const wire::FrameHeader&, std::span<const std::uint8_t>) {
    return sim::Bytes{0x00, 3, 4};
}

class ApiTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        gLog = &log_;
        SessionRegistry::instance().setTimings(fastTimings());
    }
    void TearDown() override {
        (void)ztDeinitialize(nullptr, 1);
        SessionRegistry::instance().setTimings(Timings{});
        gLog = nullptr;
        SimTest::TearDown();
    }
    sim::SimScanner& scanner(int port) {
        auto& s = addScanner(port);
        s.teach(Command::Battery, batteryAnswer);
        return s;
    }
    ScannerHandle open(unsigned port, int& error) { return ztInitialize(port, &error, onDisconnect, onScan); }

    CallbackLog log_;
};

TEST_F(ApiTest, PortNumberChecks) {
    int error = 0;
    EXPECT_EQ(ztInitialize(101, &error, onDisconnect, onScan), nullptr);
    EXPECT_EQ(error, SDK_ERR_BAD_PORT);
    EXPECT_EQ(ztInitialize(static_cast<unsigned>(-1), &error, onDisconnect, onScan), nullptr);
    EXPECT_EQ(error, SDK_ERR_BAD_PORT);
    // Port 100 passes the checks; no device stands behind it.
    EXPECT_EQ(ztInitialize(100, &error, onDisconnect, onScan), nullptr);
    EXPECT_EQ(error, SDK_ERR_PORT_UNAVAILABLE);
    EXPECT_EQ(ztInitialize(101, nullptr, onDisconnect, onScan), nullptr);  // no write through null
}

TEST_F(ApiTest, OpenErrorsAreMapped) {
    int error = 0;
    std::ofstream(dir_ / "COM7") << "not a terminal";
    EXPECT_EQ(open(7, error), nullptr);
    EXPECT_EQ(error, SDK_ERR_OPEN_FAILED);
    std::filesystem::create_symlink(dir_ / "nowhere", dir_ / "COM8");
    EXPECT_EQ(open(8, error), nullptr);
    EXPECT_EQ(error, SDK_ERR_PORT_UNAVAILABLE);
}

TEST_F(ApiTest, OpenOperateClose) {
    auto& s = scanner(5);
    int error = -99;
    ScannerHandle h = open(5, error);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(error, SDK_OK);
    int first = 0, second = 0;
    EXPECT_EQ(ztGetBatteryStatus(h, &first, &second), SDK_OK);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 4);
    EXPECT_EQ(ztGetBatteryStatus(h, nullptr, &second), SDK_ERR_INVALID_ARG);
    EXPECT_EQ(ztGetBatteryStatus(nullptr, &first, &second), SDK_ERR_INVALID_HANDLE);
    EXPECT_EQ(ztDeinitialize(h, 0), SDK_OK);
    EXPECT_EQ(ztDeinitialize(h, 0), SDK_ERR_UNKNOWN_HANDLE);
    EXPECT_EQ(ztGetBatteryStatus(h, &first, &second), SDK_ERR_INVALID_HANDLE);
    EXPECT_EQ(ztDeinitialize(nullptr, 0), SDK_ERR_UNKNOWN_HANDLE);
    // The handle closed the port: the scanner can be opened again.
    h = open(5, error);
    EXPECT_NE(h, nullptr);
    EXPECT_EQ(s.frames().front().payload, (sim::Bytes{0x31, 0x01}));
}

TEST_F(ApiTest, SecondOpenOfAPortIsRefusedAndTheFirstStaysUsable) {
    scanner(5);
    int error = 0;
    ScannerHandle h = open(5, error);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(open(5, error), nullptr);
    EXPECT_EQ(error, SDK_ERR_PORT_IN_USE);
    int a = 0, b = 0;
    EXPECT_EQ(ztGetBatteryStatus(h, &a, &b), SDK_OK);
}

TEST_F(ApiTest, NullErrorPointerOpensNothing) {
    auto& s = scanner(5);
    EXPECT_EQ(ztInitialize(5, nullptr, onDisconnect, onScan), nullptr);
    // The call returned without touching the port: it is free, and the next open's handshake is the
    // first frame the scanner sees.
    int error = 0;
    ASSERT_NE(open(5, error), nullptr);
    EXPECT_EQ(s.frames().size(), 1u);
}

TEST_F(ApiTest, ShutdownFlag) {
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_NOT_RUNNING);
    scanner(5);
    scanner(6);
    int error = 0;
    ScannerHandle h5 = open(5, error);
    ScannerHandle h6 = open(6, error);
    ASSERT_NE(h5, nullptr);
    ASSERT_NE(h6, nullptr);
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_DONE);
    int a = 0, b = 0;
    EXPECT_EQ(ztGetBatteryStatus(h5, &a, &b), SDK_ERR_INVALID_HANDLE);
    EXPECT_EQ(ztDeinitialize(h6, 0), SDK_ERR_UNKNOWN_HANDLE);
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_NOT_RUNNING);
    EXPECT_TRUE(log_.waiter.read([&] { return log_.disconnects.empty(); }));
}

TEST_F(ApiTest, FailedOpenStillStartsTheSdk) {
    int error = 0;
    EXPECT_EQ(open(9, error), nullptr);
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_DONE);
}

TEST_F(ApiTest, TwoThreadsOnOneHandleOneGetsBusy) {
    auto& s = scanner(5);
    int error = 0;
    ScannerHandle h = open(5, error);
    ASSERT_NE(h, nullptr);
    s.staySilent(1);  // the first call waits one response time-out
    int slow = 1;
    std::thread first([&] {
        int a = 0, b = 0;
        slow = ztGetBatteryStatus(h, &a, &b);
    });
    ASSERT_TRUE(s.waitForFrames(2, 1000ms));  // handshake and the first battery request: the lock is held
    int a = 0, b = 0;
    EXPECT_EQ(ztGetBatteryStatus(h, &a, &b), SDK_ERR_BUSY);
    first.join();
    EXPECT_EQ(slow, SDK_OK);
}

TEST_F(ApiTest, ScansReachTheCallbackWithLengthAndDeletedFlag) {
    auto& s = scanner(5);
    int error = 0;
    ScannerHandle h = open(5, error);
    ASSERT_NE(h, nullptr);
    s.sendPacket(PacketType::ScanData, scanRecord("12345"));
    s.sendPacket(PacketType::DeletedData, scanRecord("77"));
    ASSERT_TRUE(log_.waiter.waitUntil([&] { return log_.scans.size() == 2; }));
    EXPECT_EQ(log_.scans[0].handle, h);
    EXPECT_EQ(log_.scans[0].length, 30);
    EXPECT_EQ(log_.scans[0].deleted, 0);
    EXPECT_EQ(log_.scans[0].record, scanRecord("12345"));
    EXPECT_EQ(log_.scans[1].deleted, 1);
    EXPECT_EQ(log_.scans[1].length, 27);
}

TEST_F(ApiTest, MalformedScanRecordsNeverReadPastThePayload) {
    auto& s = scanner(5);
    int error = 0;
    ASSERT_NE(open(5, error), nullptr);
    sim::Bytes noZero = scanRecord("ABC");
    noZero.pop_back();                                         // text without its zero byte
    s.sendPacket(PacketType::ScanData, sim::Bytes(10, 0x55));  // shorter than a record head
    s.sendPacket(PacketType::ScanData, noZero);
    s.sendPacket(PacketType::ScanData, sim::Bytes(24, 0x01));  // a head and no text at all
    ASSERT_TRUE(log_.waiter.waitUntil([&] { return log_.scans.size() == 2; }));
    EXPECT_EQ(log_.scans[0].length, 28);  // the text is cut at the payload's end and terminated
    EXPECT_EQ(log_.scans[0].record.back(), 0);
    EXPECT_EQ(log_.scans[1].length, 25);
    ASSERT_TRUE(s.waitForFrames(4, 1000ms));  // all three were acknowledged
}

TEST_F(ApiTest, NullCallbacksDropScansButStillCloseALostScanner) {
    auto& s = scanner(5);
    int error = 0;
    ScannerHandle h = ztInitialize(5, &error, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    s.sendPacket(PacketType::ScanData, scanRecord("dropped"));
    ASSERT_TRUE(s.waitForFrames(2, 1000ms));  // acknowledged all the same
    s.hangUp();
    ASSERT_TRUE(SessionRegistry::instance().waitUnlisted(h, 5000ms));  // the dispatcher closes it on its own
    EXPECT_EQ(ztDeinitialize(h, 0), SDK_ERR_UNKNOWN_HANDLE);
}

TEST_F(ApiTest, PortLossIsReportedOnceAndTheHandleIsClosed) {
    auto& s = scanner(5);
    scanner(6);
    int error = 0;
    ScannerHandle h5 = open(5, error);
    ScannerHandle h6 = open(6, error);
    ASSERT_NE(h6, nullptr);
    s.hangUp();
    ASSERT_TRUE(log_.waiter.waitUntil([&] { return log_.disconnects.size() == 1; }));
    EXPECT_EQ(log_.disconnects[0], h5);
    EXPECT_FALSE(log_.waiter.waitUntil([&] { return log_.disconnects.size() > 1; }, 300ms));
    int a = 0, b = 0;
    EXPECT_EQ(ztGetBatteryStatus(h5, &a, &b), SDK_ERR_INVALID_HANDLE);
    EXPECT_EQ(ztGetBatteryStatus(h6, &a, &b), SDK_OK);
    // The port is free for a scanner that comes back.
    s.comeBack();
    s.teach(Command::Battery, batteryAnswer);
    EXPECT_NE(open(5, error), nullptr);
}

TEST_F(ApiTest, TheLatestCallbacksReceiveEveryHandlesEvents) {
    auto& s5 = scanner(5);
    scanner(6);
    int error = 0;
    ASSERT_NE(open(5, error), nullptr);
    ASSERT_NE(ztInitialize(6, &error, onDisconnect, onScanOther), nullptr);
    s5.sendPacket(PacketType::ScanData, scanRecord("x"));
    ASSERT_TRUE(log_.waiter.waitUntil([&] { return log_.scans.size() == 1; }));
    EXPECT_EQ(log_.waiter.read([&] { return log_.tag; }), "second");
}

TEST_F(ApiTest, DispatcherKeepsRunningForAnOpenUnderWay) {
    // The last handle closes while another thread is inside ztInitialize: the new handle's events must
    // still be delivered.
    scanner(5);
    auto& s6 = scanner(6);
    int error = 0;
    ScannerHandle h5 = open(5, error);
    ASSERT_NE(h5, nullptr);
    s6.staySilent(1);  // the second open takes one response wait longer
    ScannerHandle h6 = nullptr;
    int error6 = 0;
    std::thread opener([&] { h6 = open(6, error6); });
    ASSERT_TRUE(s6.waitForFrames(1, 2000ms));  // the open is under way
    EXPECT_EQ(ztDeinitialize(h5, 0), SDK_OK);
    opener.join();
    ASSERT_NE(h6, nullptr);
    s6.sendPacket(PacketType::ScanData, scanRecord("kept"));
    ASSERT_TRUE(log_.waiter.waitUntil([&] { return log_.scans.size() == 1; }));
    EXPECT_EQ(log_.scans[0].handle, h6);
}

TEST_F(ApiTest, UsbSerialPortThatStopsAnsweringStaysOpenButUnconnected) {
    // The device map names COM5 as a USB serial adapter.
    const auto hive = dir_ / "registry.reg";
    std::ofstream(hive) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n"
                           "\"\\\\Device\\\\USBSER000\"=\"COM5\"\n";
    ::setenv("ZT_REGISTRY", hive.c_str(), 1);
    auto& s = scanner(5);
    int error = 0;
    ScannerHandle h = open(5, error);
    ::unsetenv("ZT_REGISTRY");
    ASSERT_NE(h, nullptr);
    auto handle = SessionRegistry::instance().find(h);
    ASSERT_TRUE(handle);
    auto& link = handle->engine().link();
    s.staySilent(3);
    link.reportLineChange();  // the re-check goes unanswered (a change before the watch began is kept for it)
    ASSERT_TRUE(handle->engine().waitConnected(false, 5000ms));
    handle.reset();
    int a = 0, b = 0;
    EXPECT_EQ(ztGetBatteryStatus(h, &a, &b), SDK_ERR_PORT_LOST);  // fails at once
    EXPECT_EQ(ztDeinitialize(h, 0), SDK_ERR_NOT_CONNECTED);
    EXPECT_EQ(open(5, error), nullptr);
    EXPECT_EQ(error, SDK_ERR_PORT_IN_USE);
    EXPECT_TRUE(log_.waiter.read([&] { return log_.disconnects.empty(); }));  // not reported lost
    EXPECT_EQ(ztDeinitialize(nullptr, 1), SDK_SHUTDOWN_DONE);
    EXPECT_EQ(ztGetBatteryStatus(h, &a, &b), SDK_ERR_INVALID_HANDLE);
}

TEST_F(ApiTest, SecondNamesAreTheSameFunctions) {
    EXPECT_EQ(reinterpret_cast<void*>(&ztInitialize), reinterpret_cast<void*>(&NrBtBarcodeInitialize));
    EXPECT_EQ(reinterpret_cast<void*>(&ztDeinitialize), reinterpret_cast<void*>(&NrBtBarcodeDeinitialize));
    EXPECT_EQ(reinterpret_cast<void*>(&ztGetBatteryStatus), reinterpret_cast<void*>(&NrBtBarcodeGetBatteryStatus));
    scanner(5);
    int error = 0;
    ScannerHandle h = NrBtBarcodeInitialize(5, &error, onDisconnect, onScan);
    ASSERT_NE(h, nullptr);
    int a = 0, b = 0;
    EXPECT_EQ(NrBtBarcodeGetBatteryStatus(h, &a, &b), SDK_OK);
    EXPECT_EQ(NrBtBarcodeDeinitialize(h, 0), SDK_OK);
    EXPECT_EQ(NrBtBarcodeDeinitialize(h, 0), SDK_ERR_UNKNOWN_HANDLE);
}

std::size_t entriesIn(const char* dir) {
    std::size_t n = 0;
    if (DIR* d = ::opendir(dir)) {
        while (::readdir(d) != nullptr) ++n;
        ::closedir(d);
    }
    return n;
}

TEST_F(ApiTest, TwoHundredOpensAndClosesLeakNoThreadOrDescriptor) {
    scanner(5);
    int error = 0;
    ScannerHandle warm = open(5, error);  // starts the dispatcher, so it is counted in both samples
    ASSERT_NE(warm, nullptr);
    ASSERT_EQ(ztDeinitialize(warm, 0), SDK_OK);
    const auto fds = entriesIn("/proc/self/fd");
    const auto threads = entriesIn("/proc/self/task");
    for (int i = 0; i < 200; ++i) {
        ScannerHandle h = open(5, error);
        ASSERT_NE(h, nullptr) << "open " << i << " failed with " << error;
        ASSERT_EQ(ztDeinitialize(h, 0), SDK_OK);
    }
    EXPECT_EQ(entriesIn("/proc/self/fd"), fds);
    EXPECT_EQ(entriesIn("/proc/self/task"), threads);
}

}  // namespace
}  // namespace zt::api_test
