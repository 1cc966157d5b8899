// The scanner's symbology options: one row per (group, item) pair the scanner knows, in the order the
// settings pages list them, with the factory value and whether the pages offer the row. The SDK reads and
// writes only the offered rows; the simulator starts every row at its factory value.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zt::wire {

// Item numbers that mean the same in every group.
inline constexpr std::uint16_t kSymbologyEnableItem = 0;  // the symbology's own on/off switch
inline constexpr std::uint16_t kCheckDigitItem = 3;
inline constexpr std::uint16_t kTransmitCheckDigitItem = 41;
inline constexpr std::uint16_t kTransmitNumericSystemItem = 47;

// The Interleaved 2 of 5 length bounds: the pages keep the minimum at or below the maximum.
inline constexpr std::uint16_t kInterleaved2of5Group = 27;
inline constexpr std::uint16_t kMinLengthItem = 24;
inline constexpr std::uint16_t kMaxLengthItem = 25;

// How the pages edit a row: a check box (0 or 1), or a number typed into a field.
enum class SymbologyValue : std::uint8_t { OnOff, Number };

struct SymbologyOption {
    std::string_view name;  // as the pages show it, spelling included
    std::uint16_t group = 0;
    std::uint16_t item = 0;
    std::int32_t defaultValue = 0;
    bool shown = false;
    SymbologyValue value = SymbologyValue::OnOff;
    std::int32_t maxValue = 1;  // largest value the pages accept; the smallest is 0

    // group x 65536 + item, the form the pages keep per row.
    [[nodiscard]] constexpr std::uint32_t code() const { return std::uint32_t{group} << 16 | item; }
    [[nodiscard]] constexpr bool numeric() const { return value == SymbologyValue::Number; }
};

// Columns: name, group, item, factory value, shown, and for numeric rows the kind and the largest value.
// Groups 28 and 56 have no row.
inline constexpr std::array<SymbologyOption, 73> kSymbologyOptions{{
    {"UPC-A", 17, 0, 1, true},
    {"UPC-A Leading zero", 17, 23, 0, true},
    {"UPC-A Transmit Check Digit", 17, 41, 1, true},
    {"UPC-A Transmit Numeric System Digit", 17, 47, 1, false},
    {"UPC-E", 18, 0, 1, true},
    {"UPC-E Transmit Check Digit", 18, 41, 1, true},
    {"UPC-E Transmit Numeric System Digit", 18, 47, 1, true},
    {"Convert UPC-E to UPC-A", 18, 12, 0, true},
    {"UPC-E Expand Version E", 18, 15, 0, false},
    {"UPC-E1", 19, 0, 1, false},
    {"EAN8", 20, 0, 1, true},
    {"EAN8 Transmit Check Digit", 20, 41, 1, false},
    {"EAN13", 21, 0, 1, true},
    {"EAN13 Transmit Check Digit", 21, 41, 1, false},
    {"EAN13 Bookland", 21, 2, 1, true},
    {"Supplement Code", 22, 0, 0, true, SymbologyValue::Number, 2},
    {"Supplement Code Separator", 22, 38, 0, false},
    {"UCC Coupon Extended Code", 23, 0, 0, true},
    {"CODE39", 24, 0, 1, true},
    {"CODE39 Check Digit", 24, 3, 0, true},
    {"CODE39 Transmit Check Digit", 24, 41, 1, true},
    {"CODE39 Full ASCII", 24, 17, 0, true},
    {"CODE93", 25, 0, 1, true},
    {"CODE93 Transmit Check Digit", 25, 41, 0, true},
    {"CODE128", 26, 0, 1, true},
    {"CODE128 Transmit Check Digit", 26, 41, 1, true},
    {"CODE128 UCCEAN128", 26, 51, 1, true},
    {"Interleaved 2 of 5", 27, 0, 1, true},
    {"Interleaved 2 of 5 Check Digit", 27, 3, 0, true},
    {"Interleaved 2 of 5 Transmit Check Digit", 27, 41, 1, true},
    {"Interleaved 2 of 5 Lenght Min", 27, 24, 3, true, SymbologyValue::Number, 255},
    {"Interleaved 2 of 5 Lenght MAX", 27, 25, 30, true, SymbologyValue::Number, 255},
    {"CODABAR", 29, 0, 1, true},
    {"CODABAR Check Digit", 29, 3, 0, true},
    {"CODABAR Transmit Check Digit", 29, 41, 1, true},
    {"CODABAR Transmit Start/Stop", 29, 49, 0, false},
    {"Korean Post", 30, 0, 1, false},
    {"CODE11", 31, 0, 1, false},
    {"CODE11 2Check Digit", 31, 3, 1, false},
    {"MSI", 32, 0, 0, true},
    {"MSI Check Digit", 32, 3, 0, true, SymbologyValue::Number, 1},
    {"MSI Check Digit Algorithm", 32, 4, 0, true, SymbologyValue::Number, 2},
    {"MSI Transmit Check Digit", 32, 41, 0, true},
    {"Chinese Post", 33, 0, 1, false},
    {"RSS", 34, 0, 1, false},
    {"PDF417", 35, 0, 1, true},
    {"ISBT128", 36, 0, 1, false},
    {"IATA25", 37, 0, 1, false},
    {"TelePen", 38, 0, 1, false},
    {"Matrix 2 of 5", 39, 0, 1, false},
    {"Composite", 40, 0, 1, false},
    {"DataMatrix", 41, 0, 1, false},
    {"MaxiCode", 42, 0, 1, false},
    {"AztecCode", 43, 0, 1, false},
    {"MicroPDF", 44, 0, 1, false},
    {"QR Code", 45, 0, 1, false},
    {"Trioptic Code", 46, 0, 0, false},
    {"Plessey", 47, 0, 1, false},
    {"CODE32", 48, 0, 1, false},
    {"Posi Code", 49, 0, 1, false},
    {"Japanese Post", 50, 0, 1, false},
    {"Australian Post", 51, 0, 1, false},
    {"British Post", 52, 0, 1, false},
    {"Canadian Post", 53, 0, 1, false},
    {"Netherlands Post", 54, 0, 1, false},
    {"Postnet", 55, 0, 1, false},
    {"Aztec Mesa", 57, 0, 1, false},
    {"CODE49", 58, 0, 1, false},
    {"CODABLOCK", 59, 0, 1, false},
    {"Planet", 60, 0, 1, false},
    {"TLC39", 61, 0, 1, false},
    {"Straight 2 of 5", 62, 0, 1, false},
    {"CODE16K", 63, 0, 1, false},
}};

inline constexpr std::size_t kShownSymbologyCount =
    static_cast<std::size_t>(std::ranges::count_if(kSymbologyOptions, &SymbologyOption::shown));

// The offered rows alone, in table order: the rows of the Symbology page.
inline constexpr std::array<SymbologyOption, kShownSymbologyCount> kShownSymbologyOptions = [] {
    std::array<SymbologyOption, kShownSymbologyCount> shown{};
    std::ranges::copy_if(kSymbologyOptions, shown.begin(), &SymbologyOption::shown);
    return shown;
}();

// The row of a pair, shown or not; null for a pair the scanner does not know.
[[nodiscard]] constexpr const SymbologyOption* findSymbology(int group, int item) {
    const auto found = std::ranges::find_if(
        kSymbologyOptions, [&](const SymbologyOption& o) { return o.group == group && o.item == item; });
    return found == kSymbologyOptions.end() ? nullptr : &*found;
}

// True for a pair of an offered row: the only pairs the SDK exchanges with a scanner.
[[nodiscard]] constexpr bool isShownSymbology(int group, int item) {
    return std::ranges::any_of(kSymbologyOptions, [&](const SymbologyOption& o) {
        return o.shown && o.group == group && o.item == item;  // pairs are unique
    });
}

// The row of a name, letter case ignored (ASCII); null when no row has it.
[[nodiscard]] const SymbologyOption* findSymbology(std::string_view name);

}  // namespace zt::wire
