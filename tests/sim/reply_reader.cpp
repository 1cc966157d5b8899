#include "reply_reader.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace zt::sim::test {

std::optional<std::string> ReplyReader::reply(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (std::size_t start = 0; start < buffer_.size();) {
            const auto newline = buffer_.find('\n', start);
            if (newline == std::string::npos) break;
            const std::string_view line(buffer_.data() + start, newline - start);
            if (line == "ok" || line.starts_with("error:")) return takeUpTo(newline + 1);
            start = newline + 1;
        }
        if (!readMore(deadline)) return std::nullopt;
    }
}

std::optional<std::string> ReplyReader::upToLine(std::string_view line, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const std::string wanted = std::string(line) + "\n";
    for (;;) {
        const auto at = buffer_.find(wanted);
        if (at != std::string::npos && (at == 0 || buffer_[at - 1] == '\n')) return takeUpTo(at + wanted.size());
        if (!readMore(deadline)) return std::nullopt;
    }
}

std::optional<std::string> ReplyReader::toEnd(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto before = buffer_.size();
        if (!readMore(deadline)) {
            if (buffer_.size() != before || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
            return takeUpTo(buffer_.size());  // the input ended
        }
    }
}

bool ReplyReader::readMore(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd entry{fd_, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&entry, 1, static_cast<int>(left.count())) <= 0) return false;
    std::array<char, 4096> chunk{};
    const auto got = ::read(fd_, chunk.data(), chunk.size());
    if (got <= 0) return false;
    buffer_.append(chunk.data(), static_cast<std::size_t>(got));
    return true;
}

std::optional<std::string> ReplyReader::takeUpTo(std::size_t end) {
    std::string taken = buffer_.substr(0, end);
    buffer_.erase(0, end);
    return taken;
}

platform::UniqueFd connectControl(const std::filesystem::path& path) {
    platform::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    if (!fd.valid() || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        throw std::system_error(errno, std::generic_category(), "connect " + path.string());
    }
    return fd;
}

void sendAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const auto sent = ::write(fd, text.data(), text.size());
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) throw std::system_error(errno, std::generic_category(), "write");
        text.remove_prefix(static_cast<std::size_t>(sent));
    }
}

}  // namespace zt::sim::test
