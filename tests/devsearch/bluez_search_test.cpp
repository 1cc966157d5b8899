// BlueZ pairings matched with bound RFCOMM ttys, and when BlueZ is consulted at all.
#include <gtest/gtest.h>

#include "bluez_search.h"
#include "device_search.h"
#include "search_test_util.h"

namespace zt::devsearch {
namespace {

using test::FakePairings;
using test::FakeTtys;

Pairing paired(std::string address, std::string name) {
    return Pairing{std::move(address), std::move(name), std::nullopt, true};
}

TEST(BluezSearch, NoBoundTtyLeavesTheListAloneWithoutAskingBluez) {
    FakeTtys ttys({});
    FakePairings bluez(std::vector<Pairing>{paired("00:11:22:33:44:55", "ZT-550 1")});
    EXPECT_FALSE(searchBluez(ttys, bluez));
    EXPECT_EQ(bluez.calls, 0);
}

TEST(BluezSearch, UnavailableBluezLeavesTheListAlone) {
    FakeTtys ttys({{0, "00:11:22:33:44:55"}});
    FakePairings bluez(std::nullopt);
    EXPECT_FALSE(searchBluez(ttys, bluez));
}

TEST(BluezSearch, OnlyPairedScannersWithABoundTty) {
    FakeTtys ttys({{4, "00:00:00:00:00:04"},
                   {1, "00:00:00:00:00:01"},
                   {2, "00:00:00:00:00:02"},
                   {3, "00:00:00:00:00:03"},
                   {5, "aa:bb:cc:dd:ee:05"}});
    Pairing unpaired = paired("00:00:00:00:00:02", "ZT-550 unpaired");
    unpaired.paired = false;
    FakePairings bluez(std::vector<Pairing>{
        paired("00:00:00:00:00:01", "ZT-550 one"), unpaired, paired("00:00:00:00:00:03", "Headset"),
        paired("00:00:00:00:00:04", "zt-550 lower"), paired("AA:BB:CC:DD:EE:05", "ZT-550 five"),
        paired("00:00:00:00:00:09", "ZT-550 not bound")});
    const SearchResult found = searchBluez(ttys, bluez);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (std::vector<FoundDevice>{{1, L"ZT-550 one"}, {5, L"ZT-550 five"}}));
}

TEST(BluezSearch, BoundTtysWithoutScannersEmptyTheList) {
    FakeTtys ttys({{0, "00:00:00:00:00:01"}});
    FakePairings bluez(std::vector<Pairing>{paired("00:00:00:00:00:01", "Headset")});
    const SearchResult found = searchBluez(ttys, bluez);
    ASSERT_TRUE(found);
    EXPECT_TRUE(found->empty());
}

TEST(BluezSearch, RemoteNameFirstThenAlias) {
    FakeTtys ttys({{1, "00:00:00:00:00:01"}, {2, "00:00:00:00:00:02"}, {3, "00:00:00:00:00:03"}});
    FakePairings bluez(std::vector<Pairing>{Pairing{"00:00:00:00:00:01", std::nullopt, "ZT-550 alias only", true},
                                            Pairing{"00:00:00:00:00:02", "Renamed", "ZT-550 alias", true},
                                            Pairing{"00:00:00:00:00:03", "ZT-550 \xC3\xA9", "My scanner", true}});
    const SearchResult found = searchBluez(ttys, bluez);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (std::vector<FoundDevice>{{1, L"ZT-550 alias only"}, {3, L"ZT-550 \u00e9"}}));
}

TEST(BluezSearch, OneRecordPerScannerOnItsLowestTty) {
    FakeTtys ttys({{7, "00:00:00:00:00:01"}, {3, "00:00:00:00:00:01"}});
    FakePairings bluez(std::vector<Pairing>{paired("00:00:00:00:00:01", "ZT-550 1"),
                                            paired("00:00:00:00:00:01", "ZT-550 1 on a second adapter")});
    const SearchResult found = searchBluez(ttys, bluez);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (std::vector<FoundDevice>{{3, L"ZT-550 1"}}));
}

TEST(DeviceSearch, RegistryStacksComeFirstAndBluezOnlyWithoutThem) {
    FakeTtys ttys({{1, "00:00:00:00:00:01"}});
    FakePairings bluez(std::vector<Pairing>{paired("00:00:00:00:00:01", "ZT-550 bluez")});
    const SearchResult fromRegistry = searchDevices(test::loadFixture("platform_no_ports.reg"), ttys, bluez);
    ASSERT_TRUE(fromRegistry);
    EXPECT_TRUE(fromRegistry->empty());
    EXPECT_EQ(bluez.calls, 0);
    const SearchResult fromBluez = searchDevices(test::loadFixture("no_stack.reg"), ttys, bluez);
    ASSERT_TRUE(fromBluez);
    EXPECT_EQ(*fromBluez, (std::vector<FoundDevice>{{1, L"ZT-550 bluez"}}));
}

}  // namespace
}  // namespace zt::devsearch
