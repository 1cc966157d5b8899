#include "pseudo_terminal.h"

#include <fcntl.h>
#include <termios.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace zt::sim {
namespace {

[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

platform::UniqueFd openMaster() {
    platform::UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!master.valid()) fail("posix_openpt");
    if (::grantpt(master.get()) != 0) fail("grantpt");
    if (::unlockpt(master.get()) != 0) fail("unlockpt");
    return master;
}

std::filesystem::path slaveName(int master) {
    std::array<char, 128> name{};
    if (const int error = ::ptsname_r(master, name.data(), name.size()); error != 0) {
        errno = error;
        fail("ptsname_r");
    }
    return name.data();
}

// Raw bytes both ways: no echo, no line editing, no newline translation.
void makeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) fail("tcgetattr");
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B115200);
    ::cfsetospeed(&settings, B115200);
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) fail("tcsetattr");
}

}  // namespace

PseudoTerminal::PseudoTerminal() : master_(openMaster()), slavePath_(slaveName(master_.get())) {
    ownSlave_ = platform::UniqueFd(::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!ownSlave_.valid()) fail("open pseudo-terminal slave");
    makeRaw(ownSlave_.get());
}

}  // namespace zt::sim
