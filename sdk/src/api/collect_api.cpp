// Collecting the scanner's stored records and fetching them one at a time.
#include "api/call_frame.h"

#include <algorithm>
#include <cstring>
#include <shared_mutex>

using zt::sdk::allNonNull;
using zt::sdk::callFrame;
using zt::wire::Command;
using Handle = zt::sdk::ScannerHandle;

namespace {

int prepareCollecting(Handle& h, int* count, CollectProgressCallback progress) {
    auto& codec = h.collectCodec();
    h.collecting = true;  // fetches stop before the records are released
    {
        std::unique_lock store(codec.storeLock());
        codec.reset(progress);
        h.collectedCount = 0;
    }
    const int result = h.engine().submit(Command::Collect, &codec);
    if (result != SDK_OK && progress != nullptr) progress(0, -1);
    // A lost port leaves the count unwritten and the flag set: the handle is about to be closed.
    if (result == SDK_ERR_PORT_LOST) return result;
    {
        std::unique_lock store(codec.storeLock());
        if (codec.received() >= 2) codec.sortNewestFirst();
        *count = codec.received();
        h.collectedCount = codec.received();
    }
    h.collecting = false;
    return result;
}

}  // namespace

extern "C" ZT_API int ztPrepareCollecting(ScannerHandle handle, int* count, CollectProgressCallback progress) {
    return callFrame(
        handle, [&]() -> int { return count != nullptr ? SDK_OK : SDK_ERR_INVALID_ARG; },
        [&](Handle& h) -> int { return prepareCollecting(h, count, progress); });
}

// Runs without the busy lock: fetching never waits for another operation. The store lock keeps a new
// collection from releasing the records while one is copied.
extern "C" ZT_API int ztCollectingOnce(ScannerHandle handle, int index, int* tag, unsigned char* time, double* value1,
                                       double* value2, char* text, int* textLength) {
    try {
        const auto h = zt::sdk::SessionRegistry::instance().find(handle);
        if (!h) return SDK_ERR_INVALID_HANDLE;
        if (!allNonNull(tag, time, value1, value2, text, textLength)) return SDK_ERR_INVALID_ARG;
        auto& codec = h->collectCodec();
        std::shared_lock store(codec.storeLock());
        if (h->collecting) return SDK_ERR_BUSY;
        const int count = h->collectedCount;
        if (count == 0 || index < 0 || index >= count) return SDK_ERR_INVALID_ARG;
        const auto& record = codec.records()[static_cast<std::size_t>(index)];
        *tag = record.tag;
        std::ranges::copy(record.time, time);
        *value1 = record.value1;
        *value2 = record.value2;
        std::memcpy(text, record.text.c_str(), record.text.size() + 1);  // at most 3071 bytes and the zero
        *textLength = static_cast<int>(record.text.size());
        return SDK_OK;
    } catch (...) {
        return SDK_ERR_INVALID_HANDLE;
    }
}

ZT_SECOND_NAME(NrBtBarcodePrepareCollecting, ztPrepareCollecting);
ZT_SECOND_NAME(NrBtBarcodeCollectingOnce, ztCollectingOnce);
