// Status reads: battery.
#include "api/call_frame.h"

using zt::sdk::allNonNull;
using zt::sdk::callFrame;

extern "C" ZT_API int ztGetBatteryStatus(ScannerHandle handle, int* first, int* second) {
    return callFrame(
        handle, [&] { return allNonNull(first, second) ? SDK_OK : SDK_ERR_INVALID_ARG; },
        [&](zt::sdk::ScannerHandle& h) {
            auto& codec = h.batteryCodec();
            const int result = h.engine().submit(zt::wire::Command::Battery, &codec);
            if (result == SDK_OK) {
                *first = codec.first;
                *second = codec.second;
            }
            return result;
        });
}

ZT_SECOND_NAME(NrBtBarcodeGetBatteryStatus, ztGetBatteryStatus);
