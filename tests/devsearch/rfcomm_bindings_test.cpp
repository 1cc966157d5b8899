// Bound RFCOMM ttys as sysfs shows them, including entries that are not what they seem.
#include <gtest/gtest.h>

#include <algorithm>

#include "rfcomm_bindings.h"
#include "search_test_util.h"

namespace zt::devsearch {
namespace {

TEST(SysfsRfcommBindings, ReadsRfcommTtysAndTheirAddresses) {
    test::TempDir sys;
    sys.write("rfcomm0/address", "00:11:22:33:44:5a\n");  // the kernel writes lower case
    sys.write("rfcomm12/address", "AA:BB:CC:DD:EE:FF");
    sys.write("rfcomm13/address", std::string(1 << 20, '0'));  // far too long: not read in full
    sys.write("rfcomm14/address", "00:11:22:33:44");
    sys.write("rfcomm15/address", "00-11-22-33-44-55\n");
    sys.write("rfcomm16/channel", "1\n");  // no address attribute
    sys.write("rfcomm/address", "00:11:22:33:44:55\n");
    sys.write("rfcommX/address", "00:11:22:33:44:55\n");
    sys.write("rfcomm99999999999/address", "00:11:22:33:44:55\n");
    sys.write("ttyS0/address", "00:11:22:33:44:55\n");
    std::vector<RfcommBinding> found = SysfsRfcommBindings(sys.path()).bindings();
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.port < b.port; });
    EXPECT_EQ(found, (std::vector<RfcommBinding>{{0, "00:11:22:33:44:5A"}, {12, "AA:BB:CC:DD:EE:FF"}}));
}

TEST(SysfsRfcommBindings, MissingFolderHasNoBindings) {
    test::TempDir sys;
    EXPECT_TRUE(SysfsRfcommBindings(sys.path() / "absent").bindings().empty());
}

}  // namespace
}  // namespace zt::devsearch
