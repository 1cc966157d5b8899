#include "cli_options.h"

#include "zt/client/arguments.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>

namespace zt::sim::cli {
namespace {

constexpr int kMaxPort = 255;

[[noreturn]] void reject(const std::string& message) { throw std::invalid_argument(message); }

unsigned parseNumber(std::string_view text, std::string_view what, unsigned max) {
    unsigned value = 0;
    const auto* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc{} || stop != end || value > max) {
        reject("invalid " + std::string(what) + " '" + std::string(text) + "'");
    }
    return value;
}

void addPort(Options& options, std::string_view text) {
    const auto port = static_cast<int>(parseNumber(text, "port", kMaxPort));
    if (port < 1) reject("port numbers start at 1");
    if (std::ranges::find(options.ports, port) != options.ports.end())
        reject("port " + std::string(text) + " given twice");
    options.ports.push_back(port);
}

void addPortList(Options& options, std::string_view list) {
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        addPort(options, list.substr(start, comma - start));
        start = comma + 1;
    }
}

void check(const Options& options) {
    if (options.help) return;
    if (options.dir.empty()) reject("--dir is required");
    if (options.ports.empty()) reject("at least one --port is required");
}

}  // namespace

Options parseOptions(std::span<const std::string_view> args) {
    const client::Arguments arguments(args, {{"--dir", true},
                                             {"--port", true},
                                             {"--ports", true},
                                             {"--records", true},
                                             {"--control", true},
                                             {"--baud", true}});
    if (!arguments.positionals().empty()) reject("unknown argument '" + std::string(arguments.positionals()[0]) + "'");
    Options options;
    options.help = arguments.help();
    for (const auto& [name, value] : arguments.given()) {  // in order: the ports keep the order given
        if (name == "--dir") {
            options.dir = value;
        } else if (name == "--port") {
            addPort(options, value);
        } else if (name == "--ports") {
            addPortList(options, value);
        } else if (name == "--records") {
            options.records = parseNumber(value, "record count", static_cast<unsigned>(kMaxFill));
        } else if (name == "--control") {
            options.control = value;
            if (options.control.empty()) reject("--control needs a path");
        } else if (name == "--baud") {
            options.baud = parseNumber(value, "baud rate", std::numeric_limits<unsigned>::max());
        }
    }
    check(options);
    return options;
}

std::string usage() {
    return "usage: zt-sim --dir DIR --port N [--port N ...] [--baud B] [--records N] [--control PATH]\n"
           "       zt-sim --dir DIR --ports N,N,... [options]\n"
           "Plays scanners on pseudo-terminals behind the links DIR/COM<N>; point the SDK at them with\n"
           "ZT_PORT_DIR=DIR. --baud paces both directions at B bits per second (default: unlimited).\n"
           "--records fills every scanner's store with N generated records. Commands (try 'help') are\n"
           "read line by line from standard input and, with --control, from clients of the Unix socket\n"
           "PATH. Prints one line 'COM<N> -> <terminal>' per scanner, then 'ready', and runs until\n"
           "'quit', SIGINT or SIGTERM; the end of standard input does not stop it.\n";
}

}  // namespace zt::sim::cli
