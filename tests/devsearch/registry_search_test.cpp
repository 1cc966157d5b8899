// Both registry procedures against .reg fixtures: stack choice, filtering, order, ports, stops.
#include <gtest/gtest.h>

#include "registry_search.h"
#include "search_test_util.h"

namespace zt::devsearch {
namespace {

using test::loadFixture;

registry::RegistryHive parse(const std::string& body) {
    const std::string text = "Windows Registry Editor Version 5.00\n" + body;
    return registry::RegistryHive::fromBytes(
        std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

constexpr const char* kScannerAt1 = "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\device\\a1]\n\"name\"=\"ZT-550 1\"\n";

TEST(PlatformStack, FiltersSkipsAndListsInReverseOrder) {
    // Scanners 1, 5 and 6 have ports 8, 12 and 7; the headset, the lower-case name and the scanner
    // without a port subkey yield nothing; scanner 5's first port subkey differs in letter case only.
    const SearchResult found = searchRegistry(loadFixture("platform_scanners.reg"));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (std::vector<FoundDevice>{{7, L"ZT-550 00006"}, {12, L"ZT-550 00005"}, {8, L"ZT-550 00001"}}));
}

TEST(PlatformStack, PortsKeyMissingEmptiesTheListAndWidcommIsNotAsked) {
    const SearchResult found = searchRegistry(loadFixture("platform_no_ports.reg"));
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->empty());
}

TEST(PlatformStack, UnreadableNameStopsTheSearchKeepingEarlierScanners) {
    const SearchResult found = searchRegistry(loadFixture("platform_unreadable.reg"));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (std::vector<FoundDevice>{{3, L"ZT-550 00001"}}));
}

TEST(PlatformStack, UnreadablePortValueStopsTheSearch) {
    const SearchResult found =
        searchRegistry(parse(std::string(kScannerAt1) +
                             "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\device\\a2]\n\"name\"=\"ZT-550 2\"\n"
                             "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\device\\a3]\n\"name\"=\"ZT-550 3\"\n"
                             "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports\\0001a1]\n\"Port\"=\"COM1:\"\n"
                             "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports\\0002a2]\n\"Port\"=dword:00000002\n"
                             "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports\\0003a3]\n\"Port\"=\"COM3:\"\n"));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (std::vector<FoundDevice>{{1, L"ZT-550 1"}}));
}

struct PortCase {
    const char* value;
    std::optional<std::int32_t> port;  // nothing: no record, and the search goes on
};

class PortValue : public testing::TestWithParam<PortCase> {};

TEST_P(PortValue, ParsesTheDigitsAfterThreeCharacters) {
    const SearchResult found =
        searchRegistry(parse(std::string(kScannerAt1) +
                             "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\device\\a2]\n\"name\"=\"ZT-550 2\"\n"
                             "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports\\0001a1]\n\"Port\"=\"" +
                             GetParam().value +
                             "\"\n"
                             "[HKLM\\SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports\\0002a2]\n\"Port\"=\"COM2:\"\n"));
    ASSERT_TRUE(found);
    std::vector<FoundDevice> expected{{2, L"ZT-550 2"}};
    if (GetParam().port) expected.push_back({*GetParam().port, L"ZT-550 1"});
    EXPECT_EQ(*found, expected) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Table, PortValue,
                         testing::Values(PortCase{"COM12:", 12}, PortCase{"COM0:", 0}, PortCase{"COM8", 8},
                                         PortCase{"XYZ5:", 5}, PortCase{"COM2147483647:", 2147483647},
                                         PortCase{"COM2147483648:", std::nullopt}, PortCase{"COM:", std::nullopt},
                                         PortCase{"COM", std::nullopt}, PortCase{"CO", std::nullopt},
                                         PortCase{"COM-3:", std::nullopt}));

TEST(Widcomm, OnlyTheFirstSubkeyWithItsBytesWidened) {
    const SearchResult found = searchRegistry(loadFixture("widcomm.reg"));
    ASSERT_TRUE(found);
    const std::wstring name = std::wstring(L"ZT-550 ") + static_cast<wchar_t>(0xFFE9) + L"1";
    EXPECT_EQ(*found, (std::vector<FoundDevice>{{5, name}}));
}

TEST(Widcomm, FirstSubkeyThatIsNoScannerYieldsAnEmptyList) {
    for (const char* body :
         {"[HKLM\\Software\\WIDCOMM\\BTConfig\\AutoConnect\\5]\n\"BDName\"=hex:48,53,00\n"
          "[HKLM\\Software\\WIDCOMM\\BTConfig\\AutoConnect\\7]\n\"BDName\"=hex:5a,54,2d,35,35,30\n",
          "[HKLM\\Software\\WIDCOMM\\BTConfig\\AutoConnect]\n",
          "[HKLM\\Software\\WIDCOMM\\BTConfig\\AutoConnect\\5]\n\"Other\"=hex:5a\n",
          "[HKLM\\Software\\WIDCOMM\\BTConfig\\AutoConnect\\x5]\n\"BDName\"=hex:5a,54,2d,35,35,30\n"}) {
        const SearchResult found = searchRegistry(parse(body));
        ASSERT_TRUE(found) << body;
        EXPECT_TRUE(found->empty()) << body;
    }
}

TEST(Widcomm, NameWithoutZeroByteEndsWithTheValue) {
    const SearchResult found = searchRegistry(
        parse("[HKLM\\Software\\WIDCOMM\\BTConfig\\AutoConnect\\9]\n\"BDName\"=hex:5a,54,2d,35,35,30\n"));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (std::vector<FoundDevice>{{9, L"ZT-550"}}));
}

TEST(StackChoice, NeitherStackLeavesTheListAlone) {
    EXPECT_FALSE(searchRegistry(loadFixture("no_stack.reg")));
    EXPECT_FALSE(searchRegistry(registry::RegistryHive()));
}

}  // namespace
}  // namespace zt::devsearch
