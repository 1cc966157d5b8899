#include "symbology_options.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace ztctl {
namespace {

// Names as the scanner pages spell them ("Lenght" included).
constexpr std::array kOptions{
    SymbologyOption{"UPC-A", 17, 0, 1, 1},
    SymbologyOption{"UPC-A Leading zero", 17, 23, 0, 1},
    SymbologyOption{"UPC-A Transmit Check Digit", 17, 41, 1, 1},
    SymbologyOption{"UPC-E", 18, 0, 1, 1},
    SymbologyOption{"UPC-E Transmit Check Digit", 18, 41, 1, 1},
    SymbologyOption{"UPC-E Transmit Numeric System Digit", 18, 47, 1, 1},
    SymbologyOption{"Convert UPC-E to UPC-A", 18, 12, 0, 1},
    SymbologyOption{"EAN8", 20, 0, 1, 1},
    SymbologyOption{"EAN13", 21, 0, 1, 1},
    SymbologyOption{"EAN13 Bookland", 21, 2, 1, 1},
    SymbologyOption{"Supplement Code", 22, 0, 0, 2},
    SymbologyOption{"UCC Coupon Extended Code", 23, 0, 0, 1},
    SymbologyOption{"CODE39", 24, 0, 1, 1},
    SymbologyOption{"CODE39 Check Digit", 24, 3, 0, 1},
    SymbologyOption{"CODE39 Transmit Check Digit", 24, 41, 1, 1},
    SymbologyOption{"CODE39 Full ASCII", 24, 17, 0, 1},
    SymbologyOption{"CODE93", 25, 0, 1, 1},
    SymbologyOption{"CODE93 Transmit Check Digit", 25, 41, 0, 1},
    SymbologyOption{"CODE128", 26, 0, 1, 1},
    SymbologyOption{"CODE128 Transmit Check Digit", 26, 41, 1, 1},
    SymbologyOption{"CODE128 UCCEAN128", 26, 51, 1, 1},
    SymbologyOption{"Interleaved 2 of 5", 27, 0, 1, 1},
    SymbologyOption{"Interleaved 2 of 5 Check Digit", 27, 3, 0, 1},
    SymbologyOption{"Interleaved 2 of 5 Transmit Check Digit", 27, 41, 1, 1},
    SymbologyOption{"Interleaved 2 of 5 Lenght Min", 27, 24, 3, 255},
    SymbologyOption{"Interleaved 2 of 5 Lenght MAX", 27, 25, 30, 255},
    SymbologyOption{"CODABAR", 29, 0, 1, 1},
    SymbologyOption{"CODABAR Check Digit", 29, 3, 0, 1},
    SymbologyOption{"CODABAR Transmit Check Digit", 29, 41, 1, 1},
    SymbologyOption{"MSI", 32, 0, 0, 1},
    SymbologyOption{"MSI Check Digit", 32, 3, 0, 1},
    SymbologyOption{"MSI Check Digit Algorithm", 32, 4, 0, 2},
    SymbologyOption{"MSI Transmit Check Digit", 32, 41, 0, 1},
    SymbologyOption{"PDF417", 35, 0, 1, 1},
};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::span<const SymbologyOption> symbologyOptions() { return kOptions; }

const SymbologyOption* findSymbologyOption(int group, int item) {
    const auto found = std::ranges::find_if(kOptions, [&](const auto& o) { return o.group == group && o.item == item; });
    return found == kOptions.end() ? nullptr : &*found;
}

const SymbologyOption* findSymbologyOption(std::string_view name) {
    const auto found = std::ranges::find_if(kOptions, [&](const auto& o) { return sameIgnoringCase(o.name, name); });
    return found == kOptions.end() ? nullptr : &*found;
}

}  // namespace ztctl
