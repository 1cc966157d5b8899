#include "setting_values.h"

#include "usage_error.h"
#include "zt/client/display_form.h"
#include "zt/protocol/affix_notation.h"
#include "zt/protocol/wire.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace ztctl {

using zt::client::displayForm;
namespace {

[[noreturn]] void refuse(std::string_view what, std::string_view word, std::string_view allowed) {
    throw UsageError("invalid " + std::string(what) + " '" + displayForm(word) + "' (" + std::string(allowed) + ")");
}

bool isAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 0x80;
}

std::string lower(std::string_view word) {
    std::string out(word);
    std::ranges::transform(out, out.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (l >= 'a' && l <= 'f') return l - 'a' + 10;
    return -1;
}

}  // namespace

unsigned parseNumber(std::string_view word, std::string_view what, unsigned min, unsigned max) {
    const std::string allowed = std::to_string(min) + ".." + std::to_string(max);
    unsigned value = 0;
    const auto* end = word.data() + word.size();
    const bool digitsOnly = !word.empty() && std::ranges::all_of(word, [](char c) { return c >= '0' && c <= '9'; });
    const auto [stop, error] = std::from_chars(word.data(), end, value);
    if (!digitsOnly || error != std::errc{} || stop != end || value < min || value > max) {
        refuse(what, word, allowed);
    }
    return value;
}

bool parseFlag(std::string_view word, std::string_view what) {
    const auto l = lower(word);
    if (l == "on" || l == "1" || l == "yes" || l == "true") return true;
    if (l == "off" || l == "0" || l == "no" || l == "false") return false;
    refuse(what, word, "on or off");
}

std::array<std::uint8_t, 6> parseBluetoothId(std::string_view word) {
    std::string digits;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const bool separatorPlace = i % 3 == 2 && word.size() == 17;
        if (separatorPlace && (word[i] == ':' || word[i] == '-')) continue;
        digits += word[i];
    }
    std::array<std::uint8_t, 6> id{};
    if (digits.size() != 12) refuse("Bluetooth ID", word, "six bytes in hex, such as 00:11:22:33:44:55");
    for (std::size_t i = 0; i < id.size(); ++i) {
        const int high = hexValue(digits[2 * i]);
        const int low = hexValue(digits[2 * i + 1]);
        if (high < 0 || low < 0) refuse("Bluetooth ID", word, "six bytes in hex, such as 00:11:22:33:44:55");
        id[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    return id;
}

std::string formatBluetoothId(const std::array<std::uint8_t, 6>& id) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02X:%02X:%02X:%02X:%02X:%02X", id[0], id[1], id[2], id[3], id[4], id[5]);
    return buffer;
}

void checkAffixText(std::string_view text, std::string_view what) {
    const auto bytes = zt::wire::unescapeAffix(text);
    const bool ascii = std::ranges::all_of(
        bytes, [](char c) { return c >= 1 && static_cast<unsigned char>(c) <= zt::wire::kMaxAffixByte; });
    if (!ascii) refuse(what, text, "characters 1..127 only");
    if (bytes.size() > zt::wire::kMaxAffixLength)
        refuse(what, text, "at most 63 characters once \\t, \\n, \\r and \\\\ are read");
}

void checkSerial(std::string_view text) {
    if (text.empty() || text.size() > zt::wire::kMaxSerialLength || !std::ranges::all_of(text, isAlnum)) {
        refuse("serial number", text, "1..22 characters 0-9, A-Z, a-z");
    }
}

void checkPin(std::string_view text) {
    if (text.size() != zt::wire::kPinLength ||
        !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; })) {
        refuse("PIN", text, "exactly 4 digits");
    }
}

}  // namespace ztctl
