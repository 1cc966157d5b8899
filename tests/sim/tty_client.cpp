#include "tty_client.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

namespace zt::sim::test {

Bytes requestFrame(wire::Command command, std::uint8_t seq, std::span<const std::uint8_t> payload, std::uint8_t block,
                   std::uint8_t retry) {
    const auto type = static_cast<std::uint8_t>(static_cast<std::uint8_t>(command) | wire::kRequestBit);
    const wire::FrameHeader header{seq, block, retry, type, static_cast<std::uint16_t>(payload.size())};
    Bytes frame(wire::kFrameOverhead + payload.size());
    if (!wire::encodeFrame(header, payload, frame)) throw std::invalid_argument("request too long");
    return frame;
}

Bytes handshake(std::uint8_t seq) { return requestFrame(wire::Command::Handshake, seq, wire::kHandshakePayload); }

TtyClient::TtyClient(const std::filesystem::path& link)
    : fd_(::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    if (!fd_.valid()) throw std::system_error(errno, std::generic_category(), "open " + link.string());
    termios settings{};
    ::tcgetattr(fd_.get(), &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(fd_.get(), TCSANOW, &settings);
}

void TtyClient::write(std::span<const std::uint8_t> bytes) const {
    while (!bytes.empty()) {
        const auto written = ::write(fd_.get(), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EAGAIN && events(POLLOUT, kDeadline) != 0) continue;
            throw std::system_error(errno, std::generic_category(), "write");
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

std::optional<Bytes> TtyClient::read(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto giveUp = std::chrono::steady_clock::now() + timeout;
    Bytes got(count);
    std::size_t have = 0;
    while (have < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - std::chrono::steady_clock::now());
        if (left.count() <= 0 || (events(POLLIN, left) & POLLIN) == 0) return std::nullopt;
        const auto n = ::read(fd_.get(), got.data() + have, count - have);
        if (n <= 0) return std::nullopt;  // end of file or error: the line is gone
        have += static_cast<std::size_t>(n);
    }
    return got;
}

std::optional<Frame> TtyClient::readFrame(Bytes* skipped) const {
    for (;;) {
        const auto first = read(1);
        if (!first) return std::nullopt;
        if ((*first)[0] == wire::kSync) break;
        if (skipped) skipped->push_back((*first)[0]);
    }
    const auto rest = read(wire::kHeaderSize - 1);
    if (!rest) return std::nullopt;
    std::array<std::uint8_t, wire::kHeaderSize> header{wire::kSync};
    std::copy(rest->begin(), rest->end(), header.begin() + 1);
    Frame frame{wire::FrameHeader::decode(header), {}};
    auto body = read(frame.header.length + wire::kTrailerSize);
    if (!body || body->at(body->size() - 1) != 0 || body->at(body->size() - 2) != 0) return std::nullopt;
    body->resize(frame.header.length);
    frame.payload = std::move(*body);
    return frame;
}

short TtyClient::events(short wanted, std::chrono::milliseconds timeout) const {
    pollfd entry{fd_.get(), wanted, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(timeout.count()));
    return ready > 0 ? entry.revents : 0;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zt-sim-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::system_error(errno, std::generic_category(), "mkdtemp");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace zt::sim::test
