// The SDK's end of a simulated scanner in the tests: the link opened as a raw terminal, with reads that
// give up at a deadline instead of hanging the test.
#pragma once

#include "zt/platform/unique_fd.h"
#include "zt/sim/simulator.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace zt::sim::test {

using namespace std::chrono_literals;

inline constexpr auto kDeadline = 2s;  // generous: only a broken simulator gets near it

struct Frame {
    wire::FrameHeader header;
    Bytes payload;
};

// A request as the SDK writes it.
[[nodiscard]] Bytes requestFrame(wire::Command command, std::uint8_t seq, std::span<const std::uint8_t> payload = {},
                                 std::uint8_t block = 0, std::uint8_t retry = 0);
[[nodiscard]] Bytes handshake(std::uint8_t seq);

class TtyClient {
public:
    explicit TtyClient(const std::filesystem::path& link);  // throws std::system_error

    void write(std::span<const std::uint8_t> bytes) const;
    // Exactly `count` bytes, or nothing when they did not all come before the deadline.
    [[nodiscard]] std::optional<Bytes> read(std::size_t count, std::chrono::milliseconds timeout = kDeadline) const;
    // The next frame; bytes before its sync byte are returned in `skipped` if asked for.
    [[nodiscard]] std::optional<Frame> readFrame(Bytes* skipped = nullptr) const;
    // poll() events within the timeout (0 when none).
    [[nodiscard]] short events(short wanted, std::chrono::milliseconds timeout) const;
    [[nodiscard]] int fd() const { return fd_.get(); }

private:
    platform::UniqueFd fd_;
};

// A fresh folder for links, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace zt::sim::test
