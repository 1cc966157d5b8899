#include "zt/client/ports.h"

#include <algorithm>
#include <charconv>

namespace zt::client {
namespace {

constexpr char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool hasComPrefix(std::string_view text) {
    return text.size() >= 3 && asciiUpper(text[0]) == 'C' && asciiUpper(text[1]) == 'O' && asciiUpper(text[2]) == 'M';
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

}  // namespace zt::client
