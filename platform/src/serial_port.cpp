#include "zt/platform/serial_port.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zt::platform {

using std::chrono::milliseconds;

void UniqueFd::reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

WakeFd::WakeFd() : fd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!fd_.valid()) throw std::system_error(errno, std::generic_category(), "eventfd");
}

void WakeFd::signal() const {
    const std::uint64_t one = 1;
    (void)!::write(fd_.get(), &one, sizeof one);
}

void WakeFd::clear() const {
    std::uint64_t value = 0;
    (void)!::read(fd_.get(), &value, sizeof value);
}

std::filesystem::path serialDevicePath(std::string_view portName) {
    const std::string name(portName);
    if (const char* dir = std::getenv("ZT_PORT_DIR"); dir != nullptr && *dir != '\0') {
        return std::filesystem::path(dir) / name;
    }
    // "COM<n>" names /dev/rfcomm<n>; anything else is taken as given below /dev.
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0) return "/dev/rfcomm" + name.substr(3);
    return "/dev/" + name;
}

namespace {

bool configureLine(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    // With VMIN 0 an empty read returns 0, which could not be told from a hung-up line; with VMIN 1 and
    // O_NONBLOCK it fails with EAGAIN instead, and 0 means end of file.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (::cfsetspeed(&tio, B115200) != 0) return false;
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) return false;
    return ::tcflush(fd, TCIOFLUSH) == 0;
}

bool isLostErrno(int err) { return err == EIO || err == EBADF || err == ENXIO || err == ENODEV; }

// Polls `fd` for `events` and the cancel descriptor; maps the outcome to an IoStatus.
IoStatus pollPort(int fd, short events, milliseconds timeout, int cancelFd) {
    std::array<pollfd, 2> fds{{{fd, events, 0}, {cancelFd, POLLIN, 0}}};
    const nfds_t count = cancelFd >= 0 ? 2 : 1;
    const int ms = timeout.count() < 0 ? -1 : static_cast<int>(timeout.count());
    for (;;) {
        const int n = ::poll(fds.data(), count, ms);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return IoStatus::Failed;
        if (n == 0) return IoStatus::TimedOut;
        if (count == 2 && (fds[1].revents & POLLIN) != 0) return IoStatus::Cancelled;
        if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return IoStatus::Lost;
        return IoStatus::Ok;
    }
}

}  // namespace

SerialPort SerialPort::open(std::string_view portName, OpenError& error) {
    const auto path = serialDevicePath(portName);
    UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) {
        const int err = errno;
        error = (err == ENOENT || err == ENODEV || err == ENXIO) ? OpenError::DeviceMissing : OpenError::Failed;
        return {};
    }
    // Exclusive use: nobody else may open the tty while the scanner is ours.
    if (::ioctl(fd.get(), TIOCEXCL) != 0 || !configureLine(fd.get())) {
        error = OpenError::Failed;
        return {};  // fd closes here, once
    }
    return SerialPort(std::move(fd));
}

IoStatus SerialPort::waitReadable(milliseconds timeout, int cancelFd) const {
    return pollPort(fd_.get(), POLLIN, timeout, cancelFd);
}

IoStatus SerialPort::read(std::span<std::uint8_t> buffer, std::size_t& got, milliseconds firstByteTimeout,
                          int cancelFd) const {
    got = 0;
    for (bool waited = false;;) {
        const ssize_t n = ::read(fd_.get(), buffer.data(), buffer.size());
        if (n > 0) {
            got = static_cast<std::size_t>(n);
            return IoStatus::Ok;
        }
        if (n == 0) return IoStatus::Lost;  // end of file on a tty: the line was hung up
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return isLostErrno(errno) ? IoStatus::Lost : IoStatus::Failed;
        if (waited) return IoStatus::TimedOut;
        const IoStatus status = pollPort(fd_.get(), POLLIN, firstByteTimeout, cancelFd);
        if (status != IoStatus::Ok) return status;
        waited = true;
    }
}

IoStatus SerialPort::writeAll(std::span<const std::uint8_t> bytes, milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_.get(), bytes.data(), bytes.size());
        if (n > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return isLostErrno(errno) ? IoStatus::Lost : IoStatus::Failed;
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return IoStatus::Failed;
        const IoStatus status = pollPort(fd_.get(), POLLOUT, left, -1);
        if (status == IoStatus::TimedOut) return IoStatus::Failed;
        if (status != IoStatus::Ok) return status;
    }
    return IoStatus::Ok;
}

std::optional<bool> SerialPort::carrierDetect() const {
    int lines = 0;
    if (::ioctl(fd_.get(), TIOCMGET, &lines) != 0) return std::nullopt;
    return (lines & TIOCM_CD) != 0;
}

}  // namespace zt::platform
