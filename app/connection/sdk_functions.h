// The three SDK operations the connection manager calls, as one small seam: the program uses the SDK
// itself; tests may wrap the calls to watch when they happen.
#pragma once

#include "zt330sdk.h"

namespace talvo {

struct SdkFunctions {
    ScannerHandle (*initialize)(unsigned int, int*, DisconnectCallback, ScanDataCallback) = &ztInitialize;
    int (*deinitialize)(ScannerHandle, int) = &ztDeinitialize;
    int (*setTime)(ScannerHandle, const unsigned char*) = &ztSetTime;
};

}  // namespace talvo
