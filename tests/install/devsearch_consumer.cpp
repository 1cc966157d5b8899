// A client of the installed libraries in C++: the device search through ztdevsearch.h, and the SDK's
// C header beside it (both declare ScannerHandle). Built through the CMake package ZT330 or through
// pkg-config (ztdevsearch.pc, zt330sdk.pc).
//
// Usage: devsearch_consumer VERSION
// The environment names a hive with one scanner (ZT_REGISTRY: "ZT-550 00001" on COM5), no bus
// (ZT_DBUS_ADDRESS) and an empty ZT_PORT_DIR. Exit status 0 when every check holds.
#include <zt330sdk.h>
#include <ztdevsearch.h>

#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

namespace {

int failures = 0;

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "devsearch_consumer: FAILED: %s\n", what);
        ++failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: devsearch_consumer VERSION\n");
        return 2;
    }
    const std::string_view version = argv[1];
    check(version == ZT_DEVSEARCH_VERSION, "ZT_DEVSEARCH_VERSION equals the package version");
    check(version == ZT_SDK_VERSION_STRING, "ZT_SDK_VERSION_STRING equals the package version");

    // The list holds pointers it does not own: the records found are owned here, the list is emptied
    // of them before they go.
    DeviceRecordList list;
    SearchingDevice(list);
    std::vector<std::unique_ptr<DeviceRecord>> found(list.begin(), list.end());
    list.clear();
    check(found.size() == 1, "the search finds the one scanner of the hive");
    if (found.size() == 1) {
        const DeviceRecord& record = *found.front();
        // Through the virtual table, as the program reads records.
        check(record.GetPort() == 5, "the scanner is on port 5");
        check(std::wstring_view(record.GetName()) == L"ZT-550 00001", "the scanner's name is copied");
        check(record.GetHandle() == nullptr && record.GetState() == 0, "a new record is disconnected");
    }

    int error = 0;
    const ScannerHandle handle = ztInitialize(5, &error, nullptr, nullptr);
    check(handle == nullptr && error == SDK_ERR_PORT_UNAVAILABLE, "the SDK finds no device for port 5");
    check(ztDeinitialize(nullptr, 1) == SDK_SHUTDOWN_DONE, "the shutdown stops the SDK");

    if (failures == 0) {
        std::printf("devsearch_consumer: %s ok\n", ZT_DEVSEARCH_VERSION);
    }
    return failures == 0 ? 0 : 1;
}
