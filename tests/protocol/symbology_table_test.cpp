// The symbology option table: the rows the settings page lists, their codes and factory values.
#include "zt/protocol/symbology.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace zt::wire {
namespace {

static_assert(kSymbologyOptions.size() == 73);
static_assert(kShownSymbologyCount == 34);
static_assert(isShownSymbology(27, 25) && !isShownSymbology(17, 47) && !isShownSymbology(28, 0));

TEST(SymbologyTable, ShownRowsInPageOrder) {
    const std::vector<std::uint32_t> expected{
        0x110000, 0x110017, 0x110029, 0x120000, 0x120029, 0x12002F, 0x12000C, 0x140000, 0x150000,
        0x150002, 0x160000, 0x170000, 0x180000, 0x180003, 0x180029, 0x180011, 0x190000, 0x190029,
        0x1A0000, 0x1A0029, 0x1A0033, 0x1B0000, 0x1B0003, 0x1B0029, 0x1B0018, 0x1B0019, 0x1D0000,
        0x1D0003, 0x1D0029, 0x200000, 0x200003, 0x200004, 0x200029, 0x230000,
    };
    std::vector<std::uint32_t> shown;
    for (const auto& row : kShownSymbologyOptions) shown.push_back(row.code());
    EXPECT_EQ(shown, expected);
}

TEST(SymbologyTable, CodesAreUniqueAndGroupsRunInOrder) {
    std::set<std::uint32_t> codes;
    std::set<std::string_view> names;
    int lastGroup = 0;
    for (const auto& row : kSymbologyOptions) {
        EXPECT_TRUE(codes.insert(row.code()).second) << row.name;
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_EQ(row.code() >> 16, row.group);
        EXPECT_EQ(row.code() & 0xFFFF, row.item);
        EXPECT_GE(row.group, lastGroup) << row.name;  // a group's rows stand together
        EXPECT_NE(row.group, 28);
        EXPECT_NE(row.group, 56);
        lastGroup = row.group;
    }
    EXPECT_EQ(kSymbologyOptions.front().group, 17);
    EXPECT_EQ(kSymbologyOptions.back().code(), 0x3F0000U);
}

TEST(SymbologyTable, FactoryValuesWithinWhatThePagesAccept) {
    for (const auto& row : kSymbologyOptions) {
        EXPECT_GE(row.defaultValue, 0) << row.name;
        EXPECT_LE(row.defaultValue, row.maxValue) << row.name;
    }
    EXPECT_EQ(findSymbology(17, 0)->defaultValue, 1);
    EXPECT_EQ(findSymbology(27, 24)->defaultValue, 3);
    EXPECT_EQ(findSymbology(27, 25)->defaultValue, 30);
    EXPECT_EQ(findSymbology(32, 0)->defaultValue, 0);  // MSI starts off
    EXPECT_EQ(findSymbology(46, 0)->defaultValue, 0);  // Trioptic Code, hidden, also off
    EXPECT_EQ(findSymbology(31, 3)->defaultValue, 1);
    int enabled = 0;
    for (const auto& row : kSymbologyOptions) enabled += row.defaultValue != 0 ? 1 : 0;
    EXPECT_EQ(enabled, 56);
}

TEST(SymbologyTable, FiveNumericRowsWithTheirBounds) {
    std::vector<std::pair<std::uint32_t, int>> numeric;
    for (const auto& row : kSymbologyOptions) {
        if (row.numeric()) {
            numeric.emplace_back(row.code(), row.maxValue);
            EXPECT_TRUE(row.shown) << row.name;
        } else {
            EXPECT_EQ(row.maxValue, 1) << row.name;
        }
    }
    const std::vector<std::pair<std::uint32_t, int>> expected{
        {0x160000, 2}, {0x1B0018, 255}, {0x1B0019, 255}, {0x200003, 1}, {0x200004, 2}};
    EXPECT_EQ(numeric, expected);
}

TEST(SymbologyTable, NamesAsThePageShowsThem) {
    EXPECT_EQ(findSymbology(27, 24)->name, "Interleaved 2 of 5 Lenght Min");
    EXPECT_EQ(findSymbology(27, 25)->name, "Interleaved 2 of 5 Lenght MAX");
    EXPECT_EQ(findSymbology(31, 3)->name, "CODE11 2Check Digit");
    EXPECT_EQ(findSymbology(29, 49)->name, "CODABAR Transmit Start/Stop");
}

TEST(SymbologyTable, LookUpByPairAndByName) {
    EXPECT_EQ(findSymbology(28, 0), nullptr);
    EXPECT_EQ(findSymbology(17, 1), nullptr);
    EXPECT_EQ(findSymbology(17 + 65536, 0), nullptr);  // never truncated to a smaller group
    EXPECT_EQ(findSymbology(-1, 0), nullptr);
    EXPECT_EQ(findSymbology("interleaved 2 of 5 lenght max"), findSymbology(27, 25));
    EXPECT_EQ(findSymbology("UPC-A"), &kSymbologyOptions.front());
    EXPECT_EQ(findSymbology("Interleaved 2 of 5 Length Max"), nullptr);
    EXPECT_EQ(findSymbology("UPC-A "), nullptr);
    EXPECT_EQ(findSymbology(""), nullptr);
    EXPECT_FALSE(findSymbology("korean post")->shown);
}

}  // namespace
}  // namespace zt::wire
