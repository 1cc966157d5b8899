#include "zt/protocol/symbology.h"

namespace zt::wire {
namespace {

constexpr char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

}  // namespace

const SymbologyOption* findSymbology(std::string_view name) {
    const auto found = std::ranges::find_if(kSymbologyOptions,
                                            [&](const SymbologyOption& o) { return sameIgnoringCase(o.name, name); });
    return found == kSymbologyOptions.end() ? nullptr : &*found;
}

}  // namespace zt::wire
