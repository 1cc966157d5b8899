// The exported interface of libZTDevSearch.so: the list contract, record ownership and layout.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <type_traits>

#include "test_env.h"
#include "ztdevsearch.h"

namespace {

using zt::test::ScopedEnv;
using zt::test::TempDir;

std::filesystem::path fixture(const std::string& name) { return std::filesystem::path(ZT_DEVSEARCH_FIXTURES) / name; }

// The SDK's handle is a pointer: a 32-bit field would cut it on this system.
static_assert(std::is_same_v<decltype(DeviceRecord::handle), ScannerHandle>);
static_assert(sizeof(DeviceRecord::handle) == sizeof(void*));

// Keeps the search away from this machine's own Bluetooth: no bound tty, no bus.
class SearchingDeviceTest : public testing::Test {
protected:
    TempDir sys_;
    ScopedEnv ttys_{"ZT_RFCOMM_SYSFS", sys_.path().string()};
    ScopedEnv bus_{"ZT_DBUS_ADDRESS", "unix:path=/nonexistent/zt/bus_socket"};
    std::vector<std::unique_ptr<DeviceRecord>> owned_;  // every record the test ends up owning

    DeviceRecordList search(const std::string& registry, DeviceRecordList list = {}) {
        const ScopedEnv hive("ZT_REGISTRY", fixture(registry).string());
        SearchingDevice(list);
        return list;
    }
    DeviceRecord* own(DeviceRecord* record) { return owned_.emplace_back(record).get(); }
};

TEST_F(SearchingDeviceTest, WithoutAnySourceTheListStaysExactlyAsItWas) {
    sys_.write("rfcomm0/address", "00:11:22:33:44:55\n");  // bound, but BlueZ cannot be asked
    DeviceRecord* first = own(new DeviceRecord(1, L"ZT-550 kept"));
    DeviceRecord* second = own(new DeviceRecord(2, L"ZT-550 also kept"));
    const DeviceRecordList list = search("no_stack.reg", {first, second});
    EXPECT_EQ(list, (DeviceRecordList{first, second}));
}

TEST_F(SearchingDeviceTest, FoundScannersReplaceTheListAndBelongToTheCaller) {
    DeviceRecord* previous = own(new DeviceRecord(9, L"ZT-550 previous"));
    const DeviceRecordList list = search("platform_scanners.reg", {previous});
    for (DeviceRecord* record : list) own(record);
    ASSERT_EQ(list.size(), 3u);
    const std::vector<DeviceRecord*> records(list.begin(), list.end());
    EXPECT_EQ(records[0]->GetPort(), 7);
    EXPECT_STREQ(records[0]->GetName(), L"ZT-550 00006");
    EXPECT_EQ(records[1]->GetPort(), 12);
    EXPECT_EQ(records[2]->GetPort(), 8);
    for (const DeviceRecord* record : records) {
        EXPECT_EQ(record->GetState(), 0);
        EXPECT_EQ(record->GetHandle(), nullptr);
        EXPECT_EQ(record->retriesLeft, 0);
        EXPECT_EQ(record->dueTime, 0u);
    }
    EXPECT_EQ(previous->port, 9);  // dropped from the list, not destroyed
}

TEST_F(SearchingDeviceTest, PlatformStackWithoutPortsEmptiesTheList) {
    DeviceRecord* previous = own(new DeviceRecord(9, L"ZT-550 previous"));
    EXPECT_TRUE(search("platform_no_ports.reg", {previous}).empty());
}

// Slot of a virtual member function in the vtable, from the Itanium C++ ABI encoding of member
// pointers (x86: ptr = 1 + offset; ARM: ptr = offset and bit 0 of adj set).
template <typename Member>
std::ptrdiff_t vtableSlot(Member member) {
    struct Encoding {
        std::uintptr_t ptr;
        std::ptrdiff_t adj;
    } encoding{};
    static_assert(sizeof(Member) == sizeof(Encoding));
    std::memcpy(&encoding, &member, sizeof(encoding));
    const std::uintptr_t offset = (encoding.adj & 1) ? encoding.ptr : encoding.ptr - 1;
    return static_cast<std::ptrdiff_t>(offset / sizeof(void*));
}

TEST(DeviceRecord, AccessorsTakeTheFirstFourVtableSlotsInOrder) {
    EXPECT_EQ(vtableSlot(&DeviceRecord::GetPort), 0);
    EXPECT_EQ(vtableSlot(&DeviceRecord::GetName), 1);
    EXPECT_EQ(vtableSlot(&DeviceRecord::GetHandle), 2);
    EXPECT_EQ(vtableSlot(&DeviceRecord::GetState), 3);
}

}  // namespace
