// Command line of the zt-sim program.
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zt::sim::cli {

struct Options {
    std::filesystem::path dir;
    std::vector<int> ports;
    unsigned baud = 0;  // 0: unlimited
    bool help = false;
};

// Reads the arguments after the program name. Throws std::invalid_argument with a message meant for the
// user when they make no sense.
[[nodiscard]] Options parseOptions(std::span<const std::string_view> args);

[[nodiscard]] std::string usage();

}  // namespace zt::sim::cli
