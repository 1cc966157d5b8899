// Port names as people type and read them: "5" or "COM5" (any letter case) for the serial port COM5,
// numbers 0..100 as the SDK takes them.
#pragma once

#include <string>
#include <string_view>

namespace zt::client {

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

}  // namespace zt::client
