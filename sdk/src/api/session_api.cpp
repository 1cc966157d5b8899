// ztInitialize and ztDeinitialize.
#include "api/call_frame.h"

using zt::sdk::SessionRegistry;

extern "C" ZT_API ScannerHandle ztInitialize(unsigned int port, int* error, DisconnectCallback onDisconnect,
                                             ScanDataCallback onScanData) {
    try {
        return static_cast<ScannerHandle>(
            SessionRegistry::instance().initialize(port, error, onDisconnect, onScanData));
    } catch (...) {  // out of memory or threads: nothing may cross the C boundary
        if (error != nullptr) *error = SDK_ERR_OPEN_FAILED;
        return nullptr;
    }
}

extern "C" ZT_API int ztDeinitialize(ScannerHandle handle, int shutdownAll) {
    try {
        return SessionRegistry::instance().deinitialize(handle, shutdownAll);
    } catch (...) {
        return SDK_ERR_UNKNOWN_HANDLE;
    }
}

ZT_SECOND_NAME(NrBtBarcodeInitialize, ztInitialize);
ZT_SECOND_NAME(NrBtBarcodeDeinitialize, ztDeinitialize);
