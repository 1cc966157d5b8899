/*
 * A client of the installed scanner SDK, in C, through its one public header. Built from the compile
 * and link flags that pkg-config (zt330sdk.pc) or the CMake target ZT330::Sdk gives.
 *
 * Usage: sdk_consumer VERSION   (VERSION: what pkg-config or the CMake package reports)
 * The environment's ZT_PORT_DIR must name an empty folder, so that no port exists there.
 * Exit status 0 when every check holds; each failed check is named on standard error.
 */
#include <zt330sdk.h>

#include <stdio.h>
#include <string.h>

static int failures;

static void check(int holds, const char* what) {
    if (!holds) {
        fprintf(stderr, "sdk_consumer: FAILED: %s\n", what);
        ++failures;
    }
}

int main(int argc, char** argv) {
    char fromParts[32];
    int error = 12345;
    ScannerHandle handle;

    if (argc != 2) {
        fprintf(stderr, "usage: sdk_consumer VERSION\n");
        return 2;
    }
    /* The generated version header agrees with the package metadata and with itself. */
    snprintf(fromParts, sizeof fromParts, "%d.%d.%d", ZT_SDK_VERSION_MAJOR, ZT_SDK_VERSION_MINOR, ZT_SDK_VERSION_PATCH);
    check(strcmp(ZT_SDK_VERSION_STRING, argv[1]) == 0, "ZT_SDK_VERSION_STRING equals the package version");
    check(strcmp(fromParts, ZT_SDK_VERSION_STRING) == 0, "version macros agree with the version string");

    /* A port without a device: no handle, and the result code says so. */
    handle = ztInitialize(7, &error, NULL, NULL);
    check(handle == NULL, "ztInitialize on a missing port returns no handle");
    check(error == SDK_ERR_PORT_UNAVAILABLE, "ztInitialize on a missing port reports SDK_ERR_PORT_UNAVAILABLE");
    check(strcmp(ztResultName(error), "SDK_ERR_PORT_UNAVAILABLE") == 0, "ztResultName names the code");

    /* The second name of the same operation, and the argument checks. */
    error = 12345;
    check(NrBtBarcodeInitialize(101, &error, NULL, NULL) == NULL && error == SDK_ERR_BAD_PORT,
          "NrBtBarcodeInitialize rejects port 101 with SDK_ERR_BAD_PORT");
    check(ztDeinitialize(NULL, 0) == SDK_ERR_UNKNOWN_HANDLE, "ztDeinitialize(NULL, 0) is SDK_ERR_UNKNOWN_HANDLE");
    check(ztGetStorageStatus(NULL, &error) == SDK_ERR_INVALID_HANDLE, "an operation on NULL is SDK_ERR_INVALID_HANDLE");

    /* The failed opens started the dispatcher; the shutdown stops it, a second one finds it stopped. */
    check(ztDeinitialize(NULL, 1) == SDK_SHUTDOWN_DONE, "the shutdown stops the SDK");
    check(ztDeinitialize(NULL, 1) == SDK_SHUTDOWN_NOT_RUNNING, "a second shutdown finds it stopped");

    if (failures == 0) {
        printf("sdk_consumer: %s ok\n", ZT_SDK_VERSION_STRING);
    }
    return failures == 0 ? 0 : 1;
}
