// Command line of the zt-sim program.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zt::sim::cli {

struct Options {
    std::filesystem::path dir;
    std::vector<int> ports;
    unsigned baud = 0;              // 0: unlimited
    std::size_t records = 0;        // generated records every scanner starts with
    std::filesystem::path control;  // Unix socket for line commands; none when empty
    bool help = false;
};

// Reads the arguments after the program name. Throws std::invalid_argument with a message meant for the
// user when they make no sense.
[[nodiscard]] Options parseOptions(std::span<const std::string_view> args);

[[nodiscard]] std::string usage();

// Most records one scanner is filled with at once.
inline constexpr std::size_t kMaxFill = 1'000'000;

}  // namespace zt::sim::cli
