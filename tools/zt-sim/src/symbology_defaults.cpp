#include "symbology_defaults.h"

#include <array>

namespace zt::sim {
namespace {

// Item 0 of a group switches the symbology on or off; 3 is a check digit, 41 transmits the check digit,
// 47 the numeric system digit. Group 27 items 24 and 25 are the Interleaved 2 of 5 length limits.
constexpr std::array<SymbologyDefault, 73> kDefaults{{
    {17, 0, 1}, {17, 23, 0}, {17, 41, 1}, {17, 47, 1},
    {18, 0, 1}, {18, 41, 1}, {18, 47, 1}, {18, 12, 0}, {18, 15, 0}, {19, 0, 1}, {20, 0, 1}, {20, 41, 1},
    {21, 0, 1}, {21, 41, 1}, {21, 2, 1}, {22, 0, 0}, {22, 38, 0}, {23, 0, 0},
    {24, 0, 1}, {24, 3, 0}, {24, 41, 1}, {24, 17, 0}, {25, 0, 1}, {25, 41, 0},
    {26, 0, 1}, {26, 41, 1}, {26, 51, 1}, {27, 0, 1}, {27, 3, 0}, {27, 41, 1}, {27, 24, 3}, {27, 25, 30},
    {29, 0, 1}, {29, 3, 0}, {29, 41, 1}, {29, 49, 0}, {30, 0, 1}, {31, 0, 1}, {31, 3, 1},
    {32, 0, 0}, {32, 3, 0}, {32, 4, 0}, {32, 41, 0}, {33, 0, 1}, {34, 0, 1}, {35, 0, 1}, {36, 0, 1},
    {37, 0, 1}, {38, 0, 1}, {39, 0, 1}, {40, 0, 1}, {41, 0, 1}, {42, 0, 1}, {43, 0, 1}, {44, 0, 1},
    {45, 0, 1}, {46, 0, 0}, {47, 0, 1}, {48, 0, 1}, {49, 0, 1}, {50, 0, 1}, {51, 0, 1}, {52, 0, 1},
    {53, 0, 1}, {54, 0, 1}, {55, 0, 1}, {57, 0, 1}, {58, 0, 1}, {59, 0, 1}, {60, 0, 1}, {61, 0, 1},
    {62, 0, 1}, {63, 0, 1},
}};

}  // namespace

std::span<const SymbologyDefault> symbologyDefaults() { return kDefaults; }

}  // namespace zt::sim
