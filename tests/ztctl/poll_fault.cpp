// Preloaded into a program under test (LD_PRELOAD): poll() fails with ENOMEM whenever the descriptors it
// is asked to watch include a signalfd, that is, where a program waits for its stop signals. Every other
// poll() goes to the C library. Lets the tests see what a program does when it can no longer wait.
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string_view>

namespace {

bool isSignalFd(int fd) {
    std::array<char, 64> path{};
    std::array<char, 64> target{};
    const std::string_view prefix = "/proc/self/fd/";
    std::size_t length = 0;
    for (const char c : prefix) path[length++] = c;
    // The descriptor's number, written without the C++ library (this runs inside any program).
    std::array<char, 16> digits{};
    std::size_t count = 0;
    unsigned value = static_cast<unsigned>(fd);
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 && count < digits.size());
    while (count > 0 && length + 1 < path.size()) path[length++] = digits[--count];
    const auto got = ::readlink(path.data(), target.data(), target.size() - 1);
    return got > 0 && std::string_view(target.data(), static_cast<std::size_t>(got)) == "anon_inode:[signalfd]";
}

}  // namespace

extern "C" int poll(struct pollfd* fds, nfds_t count, int timeout) {
    using Poll = int (*)(struct pollfd*, nfds_t, int);
    static const auto real = reinterpret_cast<Poll>(::dlsym(RTLD_NEXT, "poll"));
    for (nfds_t i = 0; i < count; ++i) {
        if (fds[i].fd >= 0 && isSignalFd(fds[i].fd)) {
            errno = ENOMEM;
            return -1;
        }
    }
    return real(fds, count, timeout);
}
