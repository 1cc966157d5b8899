// The terminal behind a scanner's link: closing and reopening by the SDK, hang-ups, wire speed, links.
#include "scanner_fixture.h"
#include "wire_writer.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

namespace zt::sim::test {
namespace {

namespace fs = std::filesystem;

using TerminalTest = ScannerFixture;

TEST_F(TerminalTest, ScannerOutlivesTheSdkClosingItsPort) {
    client.write(handshake(1));
    ASSERT_TRUE(client.readFrame());
    {
        const TtyClient other(scanner.linkPath());  // a second opening closed again
    }
    const TtyClient reopened(scanner.linkPath());
    reopened.write(handshake(2));
    const auto answer = reopened.readFrame();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->header.seq, 2);
}

TEST_F(TerminalTest, HangUpLosesThePortAndComeBackRestoresIt) {
    client.write(handshake(1));
    ASSERT_TRUE(client.readFrame());

    scanner.hangUp();
    EXPECT_NE(client.events(POLLIN, kDeadline) & POLLHUP, 0);
    std::array<std::uint8_t, 8> buffer{};
    EXPECT_EQ(::read(client.fd(), buffer.data(), buffer.size()), 0) << "end of file expected";
    EXPECT_EQ(::write(client.fd(), buffer.data(), buffer.size()), -1);
    EXPECT_EQ(errno, EIO);
    EXPECT_THROW(TtyClient{scanner.linkPath()}, std::system_error);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(scanner.linkPath())));
    EXPECT_TRUE(scanner.terminalPath().empty());
    scanner.sendPacket(wire::PacketType::ScanData, Bytes{'x'});  // lost, harmlessly

    scanner.comeBack();
    EXPECT_EQ(fs::read_symlink(scanner.linkPath()), scanner.terminalPath());
    const TtyClient back(scanner.linkPath());
    back.write(handshake(2));
    const auto answer = back.readFrame();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->header.seq, 2);
    EXPECT_EQ(scanner.frames().size(), 2U) << "frames from before the hang-up are kept";
}

TEST_F(TerminalTest, BaudRatePacesWritesAndAnswers) {
    scanner.setBaud(115200);
    const auto start = Clock::now();
    scanner.sendRaw(Bytes(1000, 0x55));
    ASSERT_TRUE(client.read(1000));
    EXPECT_GE(Clock::now() - start, 0.7 * 10 * 1000 * 1s / 115200);

    // Request and answer, 11 and 10 bytes, both take their wire time.
    scanner.setBaud(9600);
    const auto asked = Clock::now();
    client.write(handshake(1));
    ASSERT_TRUE(client.readFrame());
    EXPECT_GE(Clock::now() - asked, 0.7 * 10 * 21 * 1s / 9600);
}

TEST_F(TerminalTest, EndsPromptlyWhileThePeerIsNotReading) {
    std::optional<Simulator> stuck(std::in_place, dir.path() / "stuck");
    auto& unread = stuck->addScanner(1);
    const TtyClient idle(unread.linkPath());
    unread.sendRaw(Bytes(256 * 1024, 0x55));  // far more than the terminal buffers
    // Once these arrive the worker is inside that write, which cannot finish while nobody reads.
    ASSERT_TRUE(idle.read(1000));
    const auto start = Clock::now();
    stuck.reset();
    // Woken by the stop, not given up after the writer's own time-out (which started at most a few
    // milliseconds before the stop).
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(WireWriter::kStuckTimeout) / 2);
}

TEST(SimulatorLinks, TakenPortsAreRefusedAndStaleLinksReplaced) {
    const TempDir dir;
    Simulator first(dir.path());
    first.addScanner(5);
    EXPECT_THROW(first.addScanner(5), std::runtime_error);
    Simulator second(dir.path());
    EXPECT_THROW(second.addScanner(5), std::runtime_error);
    EXPECT_THROW(first.addScanner(0), std::invalid_argument);

    fs::create_symlink(dir.path() / "gone", dir.path() / "COM6");
    auto& taken = second.addScanner(6);
    EXPECT_EQ(fs::read_symlink(taken.linkPath()), taken.terminalPath());
}

TEST(SimulatorLinks, DestructorRemovesItsLinksAndTheFolderItMade) {
    const TempDir dir;
    const auto made = dir.path() / "made" / "ports";
    fs::path link;
    {
        Simulator simulator(made);
        simulator.addScanner(3);
        link = simulator.addScanner(4).linkPath();
        simulator.scanner(3).hangUp();
        ASSERT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    }
    EXPECT_FALSE(fs::exists(made));
    EXPECT_TRUE(fs::exists(dir.path() / "made"));

    {
        Simulator simulator(dir.path());
        link = simulator.addScanner(7).linkPath();
        fs::create_directory(dir.path() / "other");
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_TRUE(fs::exists(dir.path()));
}

}  // namespace
}  // namespace zt::sim::test
