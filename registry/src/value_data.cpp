#include "value_data.h"

#include <algorithm>
#include <cctype>

#include "text_codec.h"

namespace zt::registry::detail {
namespace {

constexpr std::size_t kExcerptChars = 24;
constexpr std::size_t kByteDigits = 2;    // hex: data is bytes, "0" to "ff"
constexpr std::size_t kNumberDigits = 8;  // dword: data and the n of hex(n) are 32-bit numbers
constexpr std::string_view kDwordPrefix = "dword:";
constexpr std::string_view kHexPrefix = "hex:";
constexpr std::string_view kTypedHexPrefix = "hex(";
constexpr std::string_view kTypedHexEnd = "):";

[[nodiscard]] bool startsWithNoCase(std::string_view text, std::string_view prefix) noexcept {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

[[nodiscard]] int hexDigit(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The number written by the leading hex digits of text (at most maxDigits of them, at least one).
[[nodiscard]] std::optional<std::uint32_t> leadingHex(std::string_view text, std::size_t maxDigits,
                                                      std::size_t& used) noexcept {
    std::uint32_t number = 0;
    used = 0;
    while (used < text.size() && hexDigit(text[used]) >= 0) {
        if (used == maxDigits) return std::nullopt;
        number = (number << 4) | static_cast<std::uint32_t>(hexDigit(text[used]));
        ++used;
    }
    if (used == 0) return std::nullopt;
    return number;
}

[[nodiscard]] ValueDataResult failure(std::size_t line, std::string message) {
    return {std::nullopt, RegistryIssue{line, std::move(message)}};
}

[[nodiscard]] ValueDataResult success(std::uint32_t type, std::vector<std::uint8_t> bytes) {
    return {ValueData{false, type, std::move(bytes)}, std::nullopt};
}

[[nodiscard]] std::string tooLarge() { return "value larger than " + std::to_string(kMaxValueBytes) + " bytes"; }

// Appends the comma-separated bytes of one line of hex data. A trailing comma is allowed.
[[nodiscard]] std::optional<RegistryIssue> appendHexBytes(std::string_view body, std::size_t line,
                                                          std::vector<std::uint8_t>& bytes) {
    if (body.empty()) return std::nullopt;
    for (std::size_t start = 0;;) {
        const std::size_t cut = body.find(',', start);
        const std::string_view token = trimBlanks(body.substr(start, cut - start));
        const bool last = cut == std::string_view::npos;
        if (token.empty() && last) return std::nullopt;
        std::size_t used = 0;
        const auto byte = leadingHex(token, kByteDigits, used);
        if (!byte || used != token.size()) return RegistryIssue{line, "bad hex byte '" + excerpt(token) + "'"};
        if (bytes.size() >= kMaxValueBytes) return RegistryIssue{line, tooLarge()};
        bytes.push_back(static_cast<std::uint8_t>(*byte));
        if (last) return std::nullopt;
        start = cut + 1;
    }
}

// A line of hex data without its comment, and whether it goes on to the next line (ends with '\').
struct HexPiece {
    std::string_view body;
    bool continues = false;
};

[[nodiscard]] HexPiece splitHexPiece(std::string_view line) noexcept {
    std::string_view body = trimBlanks(line.substr(0, line.find(';')));
    const bool continues = !body.empty() && body.back() == '\\';
    if (continues) body.remove_suffix(1);
    return {body, continues};
}

[[nodiscard]] bool isStringType(std::uint32_t type) noexcept {
    return type == kRegString || type == kRegExpandString || type == kRegMultiString;
}

// 8-bit string data as the UTF-16LE data that the registry keeps; NULs stay (multi-strings hold several).
[[nodiscard]] std::vector<std::uint8_t> ansiToUtf16Le(std::span<const std::uint8_t> bytes) {
    const std::string utf8 = bytesToUtf8(bytes);
    std::vector<std::uint8_t> out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const DecodedChar c = decodeUtf8At(utf8, pos);
        appendUtf16Le(out, c.cp);
        pos += c.length;
    }
    return out;
}

}  // namespace

std::optional<std::string> parseQuoted(std::string_view text, std::size_t& pos) {
    std::string out;
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c != '\\') {
            out.push_back(c);
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\': out.push_back('\\'); break;
            case '"': out.push_back('"'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case '0': out.push_back('\0'); break;
            default: out.push_back('\\'); out.push_back(text[i]);
        }
    }
    return std::nullopt;
}

std::string excerpt(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t n = 0; pos < text.size() && n < kExcerptChars; ++n) {
        const DecodedChar c = decodeUtf8At(text, pos);
        appendUtf8(out, (c.cp < 0x20 || c.cp == 0x7F) ? U'?' : c.cp);
        pos += c.length;
    }
    if (pos < text.size()) out += "...";
    return out;
}

ValueDataResult ValueDataParser::parse(std::string_view data, std::size_t line) {
    if (data.empty()) return failure(line, "value data missing after '='");
    if (data.front() == '-' && isBlankOrComment(data.substr(1))) return {ValueData{true, kRegNone, {}}, std::nullopt};
    if (data.front() == '"') return parseString(data, line);
    if (startsWithNoCase(data, kDwordPrefix)) return parseDword(data.substr(kDwordPrefix.size()), line);
    if (startsWithNoCase(data, kHexPrefix)) return parseHex(kRegBinary, data.substr(kHexPrefix.size()), line);
    if (startsWithNoCase(data, kTypedHexPrefix)) {
        std::size_t used = 0;
        const std::string_view typeText = data.substr(kTypedHexPrefix.size());
        const auto type = leadingHex(typeText, kNumberDigits, used);
        const std::string_view after = typeText.substr(used);
        if (type && after.starts_with(kTypedHexEnd)) return parseHex(*type, after.substr(kTypedHexEnd.size()), line);
        skipContinuation(data);
        return failure(line, "bad value type in '" + excerpt(data) + "'");
    }
    skipContinuation(data);
    return failure(line, "unknown value data '" + excerpt(data) + "'");
}

void ValueDataParser::skipContinuation(std::string_view piece) {
    while (splitHexPiece(piece).continues) {
        const auto next = reader_.next();
        if (!next) return;
        piece = next->text;
    }
}

ValueDataResult ValueDataParser::parseString(std::string_view data, std::size_t line) const {
    std::size_t pos = 0;
    const auto text = parseQuoted(data, pos);
    if (!text) return failure(line, "string without closing '\"'");
    if (!isBlankOrComment(data.substr(pos))) return failure(line, "unexpected text after the string");
    std::vector<std::uint8_t> bytes = utf8ToRegistryString(*text);
    if (bytes.size() > kMaxValueBytes) return failure(line, tooLarge());
    return success(kRegString, std::move(bytes));
}

ValueDataResult ValueDataParser::parseDword(std::string_view digits, std::size_t line) const {
    std::size_t used = 0;
    const auto number = leadingHex(digits, kNumberDigits, used);
    if (!number || !isBlankOrComment(digits.substr(used)))
        return failure(line, "dword needs 1 to 8 hex digits, not '" + excerpt(digits) + "'");
    std::vector<std::uint8_t> bytes(sizeof(std::uint32_t));  // little-endian, as the registry keeps it
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(*number >> (8 * i));
    return success(kRegDword, std::move(bytes));
}

ValueDataResult ValueDataParser::parseHex(std::uint32_t type, std::string_view piece, std::size_t line) {
    std::vector<std::uint8_t> bytes;
    std::optional<RegistryIssue> issue;
    for (std::size_t pieceLine = line;;) {
        const HexPiece hex = splitHexPiece(piece);
        if (!issue) issue = appendHexBytes(hex.body, pieceLine, bytes);
        if (!hex.continues) break;
        const auto next = reader_.next();
        if (!next) {
            if (!issue) issue = RegistryIssue{pieceLine, "hex data continues past the end of the file"};
            break;
        }
        piece = next->text;
        pieceLine = next->number;
    }
    if (issue) return {std::nullopt, std::move(issue)};
    if (ansiFile_ && isStringType(type)) bytes = ansiToUtf16Le(bytes);
    if (bytes.size() > kMaxValueBytes) return failure(line, tooLarge());
    return success(type, std::move(bytes));
}

}  // namespace zt::registry::detail
