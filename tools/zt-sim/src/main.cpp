// zt-sim: runs simulated scanners until SIGINT or SIGTERM.
#include "cli_options.h"
#include "stop_signal.h"
#include "zt/sim/simulator.h"

#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

namespace {

constexpr int kBadArguments = 2;

int run(const zt::sim::cli::Options& options) {
    const zt::sim::cli::StopSignal stop;  // before the scanners start their threads
    zt::sim::Simulator simulator(options.dir);
    for (const int port : options.ports) {
        auto& scanner = simulator.addScanner(port);
        scanner.setBaud(options.baud);
        std::cout << "COM" << port << " -> " << scanner.terminalPath().string() << '\n';
    }
    std::cout << "ready" << std::endl;
    [[maybe_unused]] const int signal = stop.wait();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    zt::sim::cli::Options options;
    try {
        options = zt::sim::cli::parseOptions(args);
    } catch (const std::invalid_argument& error) {
        std::cerr << "zt-sim: " << error.what() << '\n' << zt::sim::cli::usage();
        return kBadArguments;
    }
    if (options.help) {
        std::cout << zt::sim::cli::usage();
        return 0;
    }
    try {
        return run(options);
    } catch (const std::exception& error) {
        std::cerr << "zt-sim: " << error.what() << '\n';
        return 1;
    }
}
