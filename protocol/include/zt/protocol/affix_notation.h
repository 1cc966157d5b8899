// The backslash notation of prefix and suffix texts: callers write \t, \n, \r and \\ for tab, line feed,
// carriage return and backslash; the scanner stores the bytes themselves.
#pragma once

#include <string>
#include <string_view>

namespace zt::wire {

// Notation to bytes: \n \r \t (either letter case) and \\. Any other backslash, a trailing one included,
// stands for itself and the character after it is read normally.
[[nodiscard]] std::string unescapeAffix(std::string_view text);

// Bytes to notation: tab, line feed, carriage return and backslash written out, every other byte (a zero
// byte too) as it is.
[[nodiscard]] std::string escapeNotation(std::string_view bytes);

// Bytes to notation, up to the first zero byte (the scanner's terminator). unescapeAffix() gives the
// bytes back.
[[nodiscard]] std::string escapeAffix(std::string_view bytes);

}  // namespace zt::wire
