// The SDK's callbacks carry no context: they reach the one active connection manager through a
// process-wide pointer. Detaching waits until no callback is inside the manager any more, so a
// callback never runs on a manager that is being destroyed.
#pragma once

#include "zt330sdk.h"

namespace talvo {

class ConnectionCore;

class CallbackBridge {
public:
    // Makes `core` the target of the callbacks; false when another one is attached.
    [[nodiscard]] static bool attach(ConnectionCore* core);
    // Clears the pointer (if it is `core`) and waits for the callbacks in progress to return.
    static void detach(ConnectionCore* core);

    // The callbacks given to ztInitialize.
    static void onDisconnect(ScannerHandle handle);
    static void onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted);
};

}  // namespace talvo
