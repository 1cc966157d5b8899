// The D-Bus side gives up at once without a bus, and within its deadline when the bus never answers.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "bluez_pairing_source.h"
#include "search_test_util.h"

namespace zt::devsearch {
namespace {

using Clock = std::chrono::steady_clock;

// A listening socket that accepts connections (the kernel's backlog) and never says a word.
class SilentBus {
public:
    explicit SilentBus(const std::filesystem::path& path) : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        ok_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0 &&
              ::listen(fd_, 4) == 0;
    }
    SilentBus(const SilentBus&) = delete;
    SilentBus& operator=(const SilentBus&) = delete;
    ~SilentBus() {
        if (fd_ >= 0) ::close(fd_);
    }
    [[nodiscard]] bool ok() const { return ok_; }

private:
    int fd_;
    bool ok_ = false;
};

TEST(BluezPairingSource, NoBusAnswersAtOnce) {
    const auto start = Clock::now();
    EXPECT_FALSE(BluezPairingSource("unix:path=/nonexistent/zt/bus_socket").devices());
    EXPECT_FALSE(BluezPairingSource("not a bus address").devices());
    EXPECT_LT(Clock::now() - start, kBusDeadline);
}

TEST(BluezPairingSource, SilentBusIsGivenUpAtTheDeadline) {
    test::TempDir dir;
    const auto socketPath = dir.path() / "bus";
    SilentBus bus(socketPath);
    ASSERT_TRUE(bus.ok());
    const auto deadline = std::chrono::milliseconds(200);
    const auto start = Clock::now();
    EXPECT_FALSE(BluezPairingSource("unix:path=" + socketPath.string(), deadline).devices());
    const auto took = Clock::now() - start;
    EXPECT_GE(took, deadline);
    EXPECT_LT(took, deadline + std::chrono::seconds(5));
}

}  // namespace
}  // namespace zt::devsearch
