// Port arguments: "5" or "COM5" (any letter case) for the serial port COM5; 0..100 as the SDK takes.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ztctl {

inline constexpr unsigned kMaxPort = 100;

enum class PortMatch {
    Port,     // a port number in range
    BadPort,  // looks like a port ("COM", digits) but is not one
    NotPort,  // something else (a key, a word)
};

struct PortParse {
    PortMatch match = PortMatch::NotPort;
    unsigned port = 0;
};

[[nodiscard]] PortParse parsePort(std::string_view text);

// "COM5".
[[nodiscard]] std::string portLabel(unsigned port);

// Every word must be a port; repeated ports are refused. Throws UsageError; at least one port is needed.
[[nodiscard]] std::vector<unsigned> parsePorts(std::span<const std::string_view> words);

// Throws UsageError for a word that looks like a port but is out of range.
[[nodiscard]] unsigned requirePort(std::string_view word);

}  // namespace ztctl
