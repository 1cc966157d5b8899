#include "text_codec.h"

#include "zt/registry/registry_text.h"

namespace zt::registry::detail {
namespace {

[[nodiscard]] bool isSurrogate(char32_t cp) noexcept { return cp >= 0xD800 && cp <= 0xDFFF; }
[[nodiscard]] bool isScalar(char32_t cp) noexcept { return cp <= 0x10FFFF && !isSurrogate(cp); }
[[nodiscard]] bool isContinuation(unsigned char b) noexcept { return (b & 0xC0U) == 0x80U; }

struct Lead {
    std::size_t length;
    char32_t bits;
    char32_t minimum;  // smallest code point this length may encode (rejects overlong forms)
};

[[nodiscard]] Lead leadOf(unsigned char b) noexcept {
    if (b >= 0xC2 && b <= 0xDF) return {2, b & 0x1FU, 0x80};
    if (b >= 0xE0 && b <= 0xEF) return {3, b & 0x0FU, 0x800};
    if (b >= 0xF0 && b <= 0xF4) return {4, b & 0x07U, 0x10000};
    return {0, 0, 0};
}

[[nodiscard]] std::uint16_t unitAt(std::span<const std::uint8_t> bytes, std::size_t i) noexcept {
    return static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8));
}

// UTF-16LE units to code points, stopping at a NUL unit when asked; an odd last byte is dropped and an
// unpaired surrogate becomes U+FFFD.
[[nodiscard]] std::u32string decodeUtf16Le(std::span<const std::uint8_t> bytes, bool stopAtNul) {
    std::u32string out;
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(bytes, 2 * i);
        if (unit == 0 && stopAtNul) break;
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const char32_t low = (high && i + 1 < units) ? unitAt(bytes, 2 * (i + 1)) : 0;
        if (high && low >= 0xDC00 && low <= 0xDFFF) {
            out.push_back(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
            ++i;
        } else {
            out.push_back(isSurrogate(unit) ? kReplacement : unit);
        }
    }
    return out;
}

}  // namespace

DecodedChar decodeUtf8At(std::string_view text, std::size_t pos) noexcept {
    const auto first = static_cast<unsigned char>(text[pos]);
    if (first < 0x80) return {first, 1};
    const Lead lead = leadOf(first);
    if (lead.length == 0 || pos + lead.length > text.size()) return {first, 1};
    char32_t cp = lead.bits;
    for (std::size_t i = 1; i < lead.length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(next)) return {first, 1};
        cp = (cp << 6) | (next & 0x3FU);
    }
    if (cp < lead.minimum || !isScalar(cp)) return {first, 1};
    return {cp, lead.length};
}

void appendUtf8(std::string& out, char32_t cp) {
    if (!isScalar(cp)) cp = kReplacement;
    const auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

void appendUtf16Le(std::vector<std::uint8_t>& out, char32_t cp) {
    const auto unit = [&out](char32_t u) {
        out.push_back(static_cast<std::uint8_t>(u & 0xFF));
        out.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    if (!isScalar(cp)) cp = kReplacement;
    if (cp < 0x10000) {
        unit(cp);
        return;
    }
    cp -= 0x10000;
    unit(0xD800 + (cp >> 10));
    unit(0xDC00 + (cp & 0x3FF));
}

std::string bytesToUtf8(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const DecodedChar c = decodeUtf8At(text, pos);
        appendUtf8(out, c.cp);
        pos += c.length;
    }
    return out;
}

std::u32string utf16LeToCodePoints(std::span<const std::uint8_t> bytes) { return decodeUtf16Le(bytes, true); }

std::string fileTextToUtf8(std::span<const std::uint8_t> bytes) {
    std::string out;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        // NUL units inside the file stay characters, so junk is reported on the line where it is.
        for (char32_t cp : decodeUtf16Le(bytes.subspan(2), false)) appendUtf8(out, cp);
        return out;
    }
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) bytes = bytes.subspan(3);
    return bytesToUtf8(bytes);
}

std::vector<std::uint8_t> utf8ToRegistryString(std::string_view utf8) {
    std::vector<std::uint8_t> out;
    out.reserve(2 * utf8.size() + 2);
    for (std::size_t pos = 0; pos < utf8.size();) {
        const DecodedChar c = decodeUtf8At(utf8, pos);
        appendUtf16Le(out, c.cp);
        pos += c.length;
    }
    appendUtf16Le(out, 0);
    return out;
}

std::size_t codePointCount(std::string_view utf8) noexcept {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++count) pos += decodeUtf8At(utf8, pos).length;
    return count;
}

}  // namespace zt::registry::detail

namespace zt::registry {

std::wstring utf8ToWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const detail::DecodedChar c = detail::decodeUtf8At(utf8, pos);
        out.push_back(static_cast<wchar_t>(c.cp));
        pos += c.length;
    }
    return out;
}

std::string wideToUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (wchar_t w : wide) detail::appendUtf8(out, static_cast<char32_t>(w));
    return out;
}

}  // namespace zt::registry
