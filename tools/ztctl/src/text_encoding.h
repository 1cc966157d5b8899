// UTF-8 helpers: device names arrive as wide text; terminal and JSON output must be valid UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ztctl {

// Wide text (UTF-32 on Linux) as UTF-8; code points that cannot be encoded become U+FFFD.
[[nodiscard]] std::string toUtf8(std::wstring_view text);

// Length of the valid UTF-8 sequence at the start of `bytes`, or 0 when it does not start with one
// (overlong forms, surrogates and code points above U+10FFFF are not valid).
[[nodiscard]] std::size_t utf8SequenceLength(std::string_view bytes);

}  // namespace ztctl
