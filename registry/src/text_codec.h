// Code-point level helpers for the .reg reader: UTF-8 (with a Latin-1 fallback), UTF-16LE, file BOMs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zt::registry::detail {

inline constexpr char32_t kReplacement = 0xFFFD;

struct DecodedChar {
    char32_t cp = 0;
    std::size_t length = 0;  // bytes consumed, at least 1
};

// Decodes the character at pos (pos < text.size()). An invalid sequence yields its first byte as a
// Latin-1 character of length 1.
[[nodiscard]] DecodedChar decodeUtf8At(std::string_view text, std::size_t pos) noexcept;

void appendUtf8(std::string& out, char32_t cp);
void appendUtf16Le(std::vector<std::uint8_t>& out, char32_t cp);

// Bytes of unknown 8-bit text (UTF-8, or Latin-1 where it is not valid UTF-8) as valid UTF-8.
[[nodiscard]] std::string bytesToUtf8(std::span<const std::uint8_t> bytes);

// The code points of UTF-16LE data, up to the first NUL unit or the end; an odd last byte is ignored
// and an unpaired surrogate becomes U+FFFD.
[[nodiscard]] std::u32string utf16LeToCodePoints(std::span<const std::uint8_t> bytes);

// A whole .reg file as UTF-8: a UTF-16LE file starts with FF FE, a UTF-8 file may start with EF BB BF,
// anything else is 8-bit text.
[[nodiscard]] std::string fileTextToUtf8(std::span<const std::uint8_t> bytes);

// UTF-8 text as UTF-16LE data followed by a NUL unit, the way the registry stores strings.
[[nodiscard]] std::vector<std::uint8_t> utf8ToRegistryString(std::string_view utf8);

[[nodiscard]] std::size_t codePointCount(std::string_view utf8) noexcept;

}  // namespace zt::registry::detail
