#include "codecs/symbology_codec.h"

#include "codecs/status.h"

#include <array>

namespace zt::sdk {

namespace {

struct SymbologyRow {
    std::uint8_t group;
    std::uint8_t item;
    std::uint8_t flags;
};

constexpr std::uint8_t kOffered = 0x02;
constexpr std::uint8_t kHidden = 0x00;

// The options in the order the settings pages list them; flag 0x02 marks the options the scanner is asked
// about. Groups 28 and 56 have no row.
constexpr std::array<SymbologyRow, 73> kRows{{
    {17, 0, kOffered},  {17, 23, kOffered}, {17, 41, kOffered}, {17, 47, kHidden},
    {18, 0, kOffered},  {18, 41, kOffered}, {18, 47, kOffered}, {18, 12, kOffered}, {18, 15, kHidden},
    {19, 0, kHidden},
    {20, 0, kOffered},  {20, 41, kHidden},
    {21, 0, kOffered},  {21, 41, kHidden},  {21, 2, kOffered},
    {22, 0, kOffered},  {22, 38, kHidden},
    {23, 0, kOffered},
    {24, 0, kOffered},  {24, 3, kOffered},  {24, 41, kOffered}, {24, 17, kOffered},
    {25, 0, kOffered},  {25, 41, kOffered},
    {26, 0, kOffered},  {26, 41, kOffered}, {26, 51, kOffered},
    {27, 0, kOffered},  {27, 3, kOffered},  {27, 41, kOffered}, {27, 24, kOffered}, {27, 25, kOffered},
    {29, 0, kOffered},  {29, 3, kOffered},  {29, 41, kOffered}, {29, 49, kHidden},
    {30, 0, kHidden},
    {31, 0, kHidden},   {31, 3, kHidden},
    {32, 0, kOffered},  {32, 3, kOffered},  {32, 4, kOffered},  {32, 41, kOffered},
    {33, 0, kHidden},   {34, 0, kHidden},   {35, 0, kOffered},  {36, 0, kHidden},  {37, 0, kHidden},
    {38, 0, kHidden},   {39, 0, kHidden},   {40, 0, kHidden},   {41, 0, kHidden},  {42, 0, kHidden},
    {43, 0, kHidden},   {44, 0, kHidden},   {45, 0, kHidden},   {46, 0, kHidden},  {47, 0, kHidden},
    {48, 0, kHidden},   {49, 0, kHidden},   {50, 0, kHidden},   {51, 0, kHidden},  {52, 0, kHidden},
    {53, 0, kHidden},   {54, 0, kHidden},   {55, 0, kHidden},   {57, 0, kHidden},  {58, 0, kHidden},
    {59, 0, kHidden},   {60, 0, kHidden},   {61, 0, kHidden},   {62, 0, kHidden},  {63, 0, kHidden},
}};

constexpr int kFirstGroup = 17;
constexpr int kLastGroup = 68;

// Per group: the position of its first row and its row count. The table is constant, so the index is
// computed once at compile time and every look-up reads the same data without a lock.
struct GroupIndex {
    std::array<std::uint8_t, kLastGroup - kFirstGroup + 1> first{};
    std::array<std::uint8_t, kLastGroup - kFirstGroup + 1> count{};
};

constexpr GroupIndex buildIndex() {
    GroupIndex index;
    for (std::size_t row = kRows.size(); row-- > 0;) {
        const auto slot = static_cast<std::size_t>(kRows[row].group - kFirstGroup);
        index.first[slot] = static_cast<std::uint8_t>(row);
        ++index.count[slot];
    }
    return index;
}

constexpr GroupIndex kIndex = buildIndex();

}  // namespace

bool isSupportedSymbology(int group, int item) {
    if (group < kFirstGroup || group > kLastGroup) return false;
    const auto slot = static_cast<std::size_t>(group - kFirstGroup);
    for (std::size_t row = kIndex.first[slot]; row < std::size_t{kIndex.first[slot]} + kIndex.count[slot]; ++row) {
        if (kRows[row].item == item) return (kRows[row].flags & kOffered) != 0;
    }
    return false;
}

int symbologyRowCount() { return static_cast<int>(kRows.size()); }

int offeredSymbologyCount() {
    int n = 0;
    for (const auto& row : kRows) n += (row.flags & kOffered) != 0 ? 1 : 0;
    return n;
}

CodecStep SymbologyCodec::build(RequestBuffer& request, std::uint16_t& length) {
    request[0] = static_cast<std::uint8_t>(mode);
    request[1] = static_cast<std::uint8_t>(group);
    request[2] = static_cast<std::uint8_t>(item);
    request[3] = static_cast<std::uint8_t>(value);
    length = mode == Mode::Set ? 4 : 3;
    return CodecStep::Continue;
}

CodecStep SymbologyCodec::onResponse(std::uint8_t, std::span<const std::uint8_t> payload, RequestBuffer&,
                                     std::uint16_t&) {
    if (mode == Mode::Get) value = usable(payload, 4) ? payload[3] : 0;
    return statusStep(payload);
}

}  // namespace zt::sdk
