#include "wire_writer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iostream>

namespace zt::sim {
namespace {

constexpr unsigned kBitsPerByte = 10;       // start bit, 8 data bits, stop bit
constexpr unsigned kChunksPerSecond = 500;  // paced writes go out in pieces of 2 ms wire time

}  // namespace

Clock::duration wireTime(std::size_t bytes, unsigned baud) {
    const std::chrono::duration<double> seconds(static_cast<double>(bytes) * kBitsPerByte / baud);
    return std::chrono::duration_cast<Clock::duration>(seconds);
}

bool WireWriter::write(std::span<const std::uint8_t> bytes) {
    const unsigned baud = baud_.load();
    return baud == 0 ? writeNow(bytes) : writePaced(bytes, baud);
}

// Each piece is written when the wire would have delivered its last byte.
bool WireWriter::writePaced(std::span<const std::uint8_t> bytes, unsigned baud) {
    const std::size_t chunk = std::max<std::size_t>(1, baud / kBitsPerByte / kChunksPerSecond);
    const auto start = std::max(Clock::now(), lineFree_);
    for (std::size_t offset = 0; offset < bytes.size();) {
        const auto piece = bytes.subspan(offset, std::min(chunk, bytes.size() - offset));
        offset += piece.size();
        lineFree_ = start + wireTime(offset, baud);
        if (!waiter_.sleepUntil(lineFree_) || !writeNow(piece)) return false;
    }
    return true;
}

bool WireWriter::writeNow(std::span<const std::uint8_t> bytes) {
    const auto giveUp = Clock::now() + kStuckTimeout;
    while (!bytes.empty()) {
        const auto written = ::write(fd_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written < 0 && errno == EAGAIN) {
            if (!waiter_.waitWritable(fd_, giveUp)) {
                if (!waiter_.stopping())
                    std::cerr << "zt-sim: peer stopped reading, " << bytes.size() << " bytes dropped\n";
                return false;
            }
        } else {
            return false;  // EIO: nobody has the line open any more
        }
    }
    return true;
}

}  // namespace zt::sim
