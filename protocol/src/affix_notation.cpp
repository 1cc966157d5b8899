#include "zt/protocol/affix_notation.h"

namespace zt::wire {

std::string unescapeAffix(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        switch (text[i + 1]) {
            case 'n':
            case 'N':
                out += '\n';
                ++i;
                break;
            case 'r':
            case 'R':
                out += '\r';
                ++i;
                break;
            case 't':
            case 'T':
                out += '\t';
                ++i;
                break;
            case '\\':
                out += '\\';
                ++i;
                break;
            default: out += '\\'; break;  // stands for itself; the next character is read normally
        }
    }
    return out;
}

std::string escapeNotation(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out;
}

std::string escapeAffix(std::string_view bytes) { return escapeNotation(bytes.substr(0, bytes.find('\0'))); }

}  // namespace zt::wire
