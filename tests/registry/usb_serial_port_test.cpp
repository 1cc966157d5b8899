// The USB-serial check against the serial-port device map.
#include <gtest/gtest.h>

#include "hive_test_util.h"
#include "test_env.h"

namespace zt::registry {
namespace {

using test::parseHive;

const RegistryHive& deviceMap() {
    static const RegistryHive hive = parseHive(
        "Windows Registry Editor Version 5.00\n"
        "[HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n"
        "\"\\\\Device\\\\Serial0\"=\"COM1\"\n"
        "\"\\\\Device\\\\USBSER000\"=\"COM7\"\n"
        "\"\\\\Device\\\\BtPort\"=\"COM5\"\n"
        "\"\\\\Device\\\\Long\"=\"" +
        std::string(600, 'x') +
        "\"\n"
        "\"\\\\Device\\\\USBSER001\"=\"COM9\"\n"
        "\"\\\\Device\\\\USBSER002\"=dword:00000005\n");
    return hive;
}

TEST(UsbSerialPort, OnlyTheValueNamingThePortCounts) {
    EXPECT_TRUE(isUsbSerialPort(deviceMap(), "COM7"));
    EXPECT_TRUE(isUsbSerialPort(deviceMap(), "COM9"));   // past a value too long for a fixed buffer
    EXPECT_FALSE(isUsbSerialPort(deviceMap(), "COM5"));  // USBSER in other values' names only
    EXPECT_FALSE(isUsbSerialPort(deviceMap(), "COM1"));
}

TEST(UsbSerialPort, DataMustMatchExactly) {
    EXPECT_FALSE(isUsbSerialPort(deviceMap(), "com7"));
    EXPECT_FALSE(isUsbSerialPort(deviceMap(), "COM7:"));
    EXPECT_FALSE(isUsbSerialPort(deviceMap(), "COM"));
    EXPECT_FALSE(isUsbSerialPort(deviceMap(), ""));
}

TEST(UsbSerialPort, MissingKeyOrFileIsNotUsb) {
    EXPECT_FALSE(isUsbSerialPort(RegistryHive(), "COM7"));
    const test::TempDir dir;
    const test::ScopedEnv registry("ZT_REGISTRY", (dir.path() / "map.reg").string());
    EXPECT_FALSE(isUsbSerialPort("COM7"));
    dir.write("map.reg", "REGEDIT4\n[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n\"USBSER000\"=\"COM7\"\n");
    EXPECT_TRUE(isUsbSerialPort("COM7"));
}

TEST(UsbSerialPort, TheSystemHiveIsReadAgainOnceItsFileChanges) {
    const test::TempDir dir;
    const test::ScopedEnv registry("ZT_REGISTRY", (dir.path() / "map.reg").string());
    const std::string head = "REGEDIT4\n[HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM]\n";
    dir.write("map.reg", head + "\"USBSER000\"=\"COM7\"\n");
    EXPECT_TRUE(isUsbSerialPort("COM7"));
    EXPECT_TRUE(isUsbSerialPort("COM7"));
    // Same size, same file, written within the same clock tick: still seen.
    dir.write("map.reg", head + "\"USBSER000\"=\"COM8\"\n");
    EXPECT_FALSE(isUsbSerialPort("COM7"));
    EXPECT_TRUE(isUsbSerialPort("COM8"));
    const test::TempDir other;
    other.write("map.reg", head + "\"USBSER000\"=\"COM7\"\n");
    const test::ScopedEnv moved("ZT_REGISTRY", (other.path() / "map.reg").string());
    EXPECT_TRUE(isUsbSerialPort("COM7"));
    EXPECT_FALSE(isUsbSerialPort("COM8"));
}

}  // namespace
}  // namespace zt::registry
