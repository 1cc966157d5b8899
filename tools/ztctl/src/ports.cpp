#include "ports.h"

#include "usage_error.h"

#include <algorithm>
#include <string>

namespace ztctl {

unsigned requirePort(std::string_view word) {
    const auto parsed = parsePort(word);
    if (parsed.match != PortMatch::Port) {
        throw UsageError("'" + std::string(word) + "' is not a port (use 0..100, as 5 or COM5)");
    }
    return parsed.port;
}

std::vector<unsigned> parsePorts(std::span<const std::string_view> words) {
    if (words.empty()) throw UsageError("no port given");
    std::vector<unsigned> ports;
    for (const auto word : words) {
        const unsigned port = requirePort(word);
        if (std::ranges::find(ports, port) != ports.end()) throw UsageError(portLabel(port) + " is given twice");
        ports.push_back(port);
    }
    return ports;
}

}  // namespace ztctl
