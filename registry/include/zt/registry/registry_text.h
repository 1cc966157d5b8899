// Text conversions shared by the registry hive and its clients. wchar_t is UTF-32 on Linux: one wide
// character per code point.
#pragma once

#include <string>
#include <string_view>

namespace zt::registry {

// UTF-8 to wide text. A byte that does not start a valid UTF-8 sequence is taken as a Latin-1
// character, so 8-bit text from older files still reads sensibly. Never throws except std::bad_alloc.
[[nodiscard]] std::wstring utf8ToWide(std::string_view utf8);

// Wide text to UTF-8. A value that is no Unicode scalar (a surrogate, above U+10FFFF) becomes U+FFFD.
[[nodiscard]] std::string wideToUtf8(std::wstring_view wide);

}  // namespace zt::registry
