// The serial port over a pseudo-terminal: device paths, open errors, reads with time-outs and cancel,
// and a peer that hangs up.
#include "zt/platform/serial_port.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace zt::platform {
namespace {

using namespace std::chrono_literals;

class PortDir : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zt-port-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ::setenv("ZT_PORT_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("ZT_PORT_DIR");
        std::filesystem::remove_all(dir_);
    }
    // A pseudo-terminal whose slave is linked as COM<n>; returns the master.
    UniqueFd makeTerminal(const std::string& name) {
        UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
        EXPECT_TRUE(master.valid());
        EXPECT_EQ(::grantpt(master.get()), 0);
        EXPECT_EQ(::unlockpt(master.get()), 0);
        std::filesystem::create_symlink(::ptsname(master.get()), dir_ / name);
        return master;
    }
    std::filesystem::path dir_;
};

TEST(SerialDevicePath, MapsComNamesToRfcommOrThePortFolder) {
    ::unsetenv("ZT_PORT_DIR");
    EXPECT_EQ(serialDevicePath("COM5"), "/dev/rfcomm5");
    EXPECT_EQ(serialDevicePath("COM100"), "/dev/rfcomm100");
    ::setenv("ZT_PORT_DIR", "/tmp/ports", 1);
    EXPECT_EQ(serialDevicePath("COM5"), "/tmp/ports/COM5");
    ::unsetenv("ZT_PORT_DIR");
}

TEST_F(PortDir, OpenErrors) {
    OpenError error{};
    EXPECT_FALSE(SerialPort::open("COM3", error).isOpen());
    EXPECT_EQ(error, OpenError::DeviceMissing);
    std::ofstream(dir_ / "COM4") << "plain file";
    EXPECT_FALSE(SerialPort::open("COM4", error).isOpen());
    EXPECT_EQ(error, OpenError::Failed);  // not a terminal: the line cannot be configured
}

TEST_F(PortDir, ReadsWritesTimesOutAndCancels) {
    auto master = makeTerminal("COM1");
    OpenError error{};
    auto port = SerialPort::open("COM1", error);
    ASSERT_TRUE(port.isOpen());
    EXPECT_FALSE(port.carrierDetect().has_value());  // pseudo-terminals have no modem lines

    const std::uint8_t out[] = {0x7E, 0x00, 0x0A, 0x0D};  // raw mode: no line-ending translation
    ASSERT_EQ(port.writeAll(out, 100ms), IoStatus::Ok);
    std::uint8_t seen[4] = {};
    ASSERT_EQ(::read(master.get(), seen, sizeof seen), 4);
    EXPECT_EQ(std::memcmp(seen, out, 4), 0);

    WakeFd cancel;
    std::uint8_t buffer[8];
    std::size_t got = 0;
    EXPECT_EQ(port.read(buffer, got, 20ms, cancel.fd()), IoStatus::TimedOut);
    ASSERT_EQ(::write(master.get(), "ab", 2), 2);
    ASSERT_EQ(port.read(buffer, got, 1000ms, cancel.fd()), IoStatus::Ok);
    EXPECT_EQ(got, 2u);
    cancel.signal();
    EXPECT_EQ(port.read(buffer, got, 10s, cancel.fd()), IoStatus::Cancelled);
    EXPECT_EQ(port.waitReadable(10s, cancel.fd()), IoStatus::Cancelled);
    cancel.clear();
    EXPECT_EQ(port.waitReadable(10ms, cancel.fd()), IoStatus::TimedOut);
}

TEST_F(PortDir, PeerHangUpIsAPortLoss) {
    auto master = makeTerminal("COM2");
    OpenError error{};
    auto port = SerialPort::open("COM2", error);
    ASSERT_TRUE(port.isOpen());
    master.reset();
    WakeFd cancel;
    EXPECT_EQ(port.waitReadable(10s, cancel.fd()), IoStatus::Lost);
    std::uint8_t buffer[4];
    std::size_t got = 0;
    EXPECT_EQ(port.read(buffer, got, 10s, cancel.fd()), IoStatus::Lost);
    const std::uint8_t out[] = {1};
    EXPECT_EQ(port.writeAll(out, 100ms), IoStatus::Lost);
}

}  // namespace
}  // namespace zt::platform
