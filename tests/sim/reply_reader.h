// Reads the replies of the simulator's line commands from a pipe or socket, with a deadline instead of
// hanging the test. A reply ends with a line "ok" or "error: ..."; bytes after it are kept for the next.
#pragma once

#include "tty_client.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zt::sim::test {

class ReplyReader {
public:
    explicit ReplyReader(int fd) : fd_(fd) {}

    // The next reply, or nothing when the deadline passed or the input ended first.
    [[nodiscard]] std::optional<std::string> reply(std::chrono::milliseconds timeout = kDeadline);
    // Everything up to a line equal to `line` (included).
    [[nodiscard]] std::optional<std::string> upToLine(std::string_view line,
                                                      std::chrono::milliseconds timeout = kDeadline);
    // Everything until the input ends.
    [[nodiscard]] std::optional<std::string> toEnd(std::chrono::milliseconds timeout = kDeadline);

private:
    // Reads more; false on time-out, error or end of input.
    [[nodiscard]] bool readMore(std::chrono::steady_clock::time_point deadline);
    [[nodiscard]] std::optional<std::string> takeUpTo(std::size_t end);

    int fd_;
    std::string buffer_;
};

// A client of the control socket at `path` (blocking); throws std::system_error when nobody listens.
[[nodiscard]] platform::UniqueFd connectControl(const std::filesystem::path& path);
// Writes all of `text` to a pipe or socket.
void sendAll(int fd, std::string_view text);

}  // namespace zt::sim::test
