#include "zt/client/display_form.h"

#include "zt/client/text_decoding.h"
#include "zt/protocol/affix_notation.h"

#include <cstdint>

namespace zt::client {
namespace {

void appendHexEscape(std::string& out, std::uint8_t byte) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

// U+0080..U+009F are encoded as C2 80..C2 9F.
bool isC1Control(std::string_view sequence) {
    return sequence.size() == 2 && static_cast<std::uint8_t>(sequence[0]) == 0xC2 &&
           static_cast<std::uint8_t>(sequence[1]) < 0xA0;
}

// Appends the escape of a single-byte character; false when the byte needs no escape.
bool appendAsciiEscape(std::string& out, std::uint8_t byte) {
    switch (byte) {
        case '\t': out += "\\t"; return true;
        case '\n': out += "\\n"; return true;
        case '\r': out += "\\r"; return true;
        case '\\': out += "\\\\"; return true;
        default: break;
    }
    if (byte < 0x20 || byte == 0x7F) {
        appendHexEscape(out, byte);
        return true;
    }
    return false;
}

}  // namespace

std::string listForm(std::string_view text) { return wire::escapeNotation(text); }

std::string displayForm(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        const std::size_t length = utf8SequenceLength(bytes);
        const auto sequence = bytes.substr(0, length == 0 ? 1 : length);
        if (length == 0 || isC1Control(sequence)) {
            for (const char c : sequence) appendHexEscape(out, static_cast<std::uint8_t>(c));
        } else if (length > 1 || !appendAsciiEscape(out, static_cast<std::uint8_t>(sequence[0]))) {
            out += sequence;
        }
        bytes.remove_prefix(sequence.size());
    }
    return out;
}

}  // namespace zt::client
