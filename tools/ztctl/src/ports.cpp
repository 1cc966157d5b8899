#include "ports.h"

#include "usage_error.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace ztctl {
namespace {

bool hasComPrefix(std::string_view text) {
    return text.size() >= 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
           std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
           std::toupper(static_cast<unsigned char>(text[2])) == 'M';
}

bool allDigits(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

PortParse parsePort(std::string_view text) {
    const bool prefixed = hasComPrefix(text);
    const auto number = prefixed ? text.substr(3) : text;
    if (!allDigits(number)) return {prefixed ? PortMatch::BadPort : PortMatch::NotPort, 0};
    unsigned value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size() || value > kMaxPort) {
        return {PortMatch::BadPort, 0};
    }
    return {PortMatch::Port, value};
}

std::string portLabel(unsigned port) { return "COM" + std::to_string(port); }

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
