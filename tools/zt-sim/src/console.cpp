#include "console.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

namespace zt::sim::cli {

StopReason Console::run(int stopFd) {
    while (!interpreter_.quitRequested()) {
        std::array<pollfd, 3> fds{{{stopFd, POLLIN, 0}, {interpreter_.quitFd(), POLLIN, 0}, {input_, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category(), "poll");  // the console cannot go on
        }
        if ((fds[0].revents & POLLIN) != 0) return StopReason::Signal;
        if ((fds[2].revents & POLLNVAL) != 0) {
            input_ = -1;  // no input at all (closed descriptor): poll ignores a negative one
        } else if (fds[2].revents != 0) {
            readInput();
        }
    }
    return StopReason::Quit;
}

void Console::readInput() {
    std::array<char, 4096> buffer{};
    const auto got = ::read(input_, buffer.data(), buffer.size());
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (got <= 0) {
        endInput();
        return;
    }
    for (const auto& line : lines_.feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
        write(output_, interpreter_.execute(line));
        if (interpreter_.quitRequested()) return;  // lines after "quit" are not run
    }
}

void Console::endInput() {
    if (auto last = lines_.finish()) write(output_, interpreter_.execute(*last));
    // Someone who typed the end of input may expect the program to end; tell them why it does not.
    if (::isatty(input_) == 1) write(notes_, "zt-sim: end of input; 'quit', Ctrl-C or SIGTERM stops the simulator\n");
    input_ = -1;
}

void Console::write(int fd, std::string_view text) const {
    while (!text.empty()) {
        const auto written = ::write(fd, text.data(), text.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // nobody reads any more: the replies are of no use to anyone
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

}  // namespace zt::sim::cli
