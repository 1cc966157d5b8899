// zt-sim: runs simulated scanners until "quit", SIGINT or SIGTERM.
#include "cli_options.h"
#include "command_interpreter.h"
#include "console.h"
#include "control_socket.h"
#include "zt/platform/stop_signals.h"
#include "zt/sim/simulator.h"

#include <unistd.h>

#include <csignal>
#include <exception>
#include <iostream>
#include <optional>
#include <string_view>
#include <vector>

namespace {

using namespace zt::sim;

constexpr int kBadArguments = 2;

int run(const cli::Options& options) {
    const zt::platform::StopSignals stop;  // before the scanners start their threads
    std::signal(SIGPIPE, SIG_IGN);         // a reader that went away must not end the simulator
    Simulator simulator(options.dir);
    for (const int port : options.ports) {
        auto& scanner = simulator.addScanner(port);
        scanner.setBaud(options.baud);
        scanner.fillRecords(static_cast<int>(options.records));
        std::cout << "COM" << port << " -> " << scanner.terminalPath().string() << '\n';
    }
    cli::CommandInterpreter interpreter(simulator);
    std::optional<cli::ControlSocket> control;
    if (!options.control.empty()) {
        control.emplace(options.control, [&](const cli::Line& line) { return interpreter.execute(line); });
        std::cout << "control " << options.control.string() << '\n';
    }
    std::cout << "ready" << std::endl;
    const auto reason = cli::Console(interpreter, STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO).run(stop.fd());
    // Takes the signal, which would otherwise end the process when the mask is restored.
    if (reason == cli::StopReason::Signal) static_cast<void>(stop.wait());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    cli::Options options;
    try {
        options = cli::parseOptions(args);
    } catch (const std::invalid_argument& error) {
        std::cerr << "zt-sim: " << error.what() << '\n' << cli::usage();
        return kBadArguments;
    }
    if (options.help) {
        std::cout << cli::usage();
        return 0;
    }
    try {
        return run(options);
    } catch (const std::exception& error) {
        std::cerr << "zt-sim: " << error.what() << '\n';
        return 1;
    }
}
