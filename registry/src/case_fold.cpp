#include "case_fold.h"

#include "text_codec.h"

namespace zt::registry::detail {
namespace {

[[nodiscard]] char32_t upper(char32_t c) noexcept {
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c < 0x80) return c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;  // Latin-1 à..þ, not ÷
    if (c == 0xFF) return 0x178;                               // ÿ
    if (c == 0x3C2) return 0x3A3;                              // final sigma
    if (c >= 0x3B1 && c <= 0x3CB) return c - 0x20;             // Greek α..ϋ
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;             // Cyrillic а..я
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;             // Cyrillic ѐ..џ
    return c;
}

}  // namespace

std::string foldName(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const DecodedChar c = decodeUtf8At(utf8, pos);
        appendUtf8(out, upper(c.cp));
        pos += c.length;
    }
    return out;
}

}  // namespace zt::registry::detail
