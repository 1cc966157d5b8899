// Checks and conversions of the values that `set` takes, made before any scanner is opened. Each parser
// throws UsageError with a message that names the setting and the allowed values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ztctl {

// A whole decimal number in min..max.
[[nodiscard]] unsigned parseNumber(std::string_view word, std::string_view what, unsigned min, unsigned max);
// on, off, 1, 0, yes, no, true, false.
[[nodiscard]] bool parseFlag(std::string_view word, std::string_view what);
// Six bytes as 12 hex digits, optionally in pairs separated by ':' or '-'.
[[nodiscard]] std::array<std::uint8_t, 6> parseBluetoothId(std::string_view word);
// "02:5A:54:00:00:05".
[[nodiscard]] std::string formatBluetoothId(const std::array<std::uint8_t, 6>& id);

// Prefix and suffix texts are given in the backslash notation (zt/protocol/affix_notation.h).
// Throws unless the text stands for at most 63 bytes, each 1..127.
void checkAffixText(std::string_view text, std::string_view what);
// 1..22 characters 0-9, A-Z, a-z.
void checkSerial(std::string_view text);
// Exactly four digits.
void checkPin(std::string_view text);

}  // namespace ztctl
