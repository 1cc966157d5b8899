// The frame every exported operation follows: find the handle, check the arguments, take the busy lock
// (tried for 1 ms), run, release.
#pragma once

#include "session/session_registry.h"
#include "zt330sdk.h"

#include <utility>

namespace zt::sdk {

// `checkArguments()` returns SDK_OK or the code of the first bad argument; `operation(ScannerHandle&)`
// runs with the busy lock held and returns the operation's result.
template <class Check, class Operation>
[[nodiscard]] int callFrame(const ZtScanner* target, Check&& checkArguments, Operation&& operation) noexcept {
    try {
        const auto handle = SessionRegistry::instance().find(target);
        if (!handle) return SDK_ERR_INVALID_HANDLE;
        if (const int r = std::forward<Check>(checkArguments)(); r != SDK_OK) return r;
        const auto busy = handle->tryLockBusy();
        if (!busy.owns_lock()) return SDK_ERR_BUSY;
        if (handle->isTornDown()) return SDK_ERR_INVALID_HANDLE;  // closed between the look-up and the lock
        return std::forward<Operation>(operation)(*handle);
    } catch (...) {  // a system resource failed (threads, memory): nothing may cross the C boundary
        return SDK_ERR_LINK;
    }
}

// SDK_OK when the arguments passed their checks, else SDK_ERR_INVALID_ARG.
[[nodiscard]] constexpr int argumentsOk(bool ok) { return ok ? SDK_OK : SDK_ERR_INVALID_ARG; }

// True when every pointer is non-null.
template <class... Pointers>
[[nodiscard]] constexpr bool allNonNull(const Pointers*... pointers) {
    return ((pointers != nullptr) && ...);
}

}  // namespace zt::sdk

// Exports `twin` as a second name of the already defined `name`: the same function, not a wrapper.
#define ZT_SECOND_NAME(twin, name) extern "C" ZT_API decltype(name) twin __attribute__((alias(#name)))
