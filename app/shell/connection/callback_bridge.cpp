#include "shell/connection/callback_bridge.h"

#include "shell/connection/connection_core.h"

#include <condition_variable>
#include <mutex>

namespace talvo {
namespace {

struct Bridge {
    std::mutex mutex;
    std::condition_variable idle;
    ConnectionCore* core = nullptr;
    int inside = 0;  // callbacks running on `core`
};

Bridge& bridge() {
    static Bridge b;
    return b;
}

// Holds the active core for the length of one callback.
class CallbackScope {
public:
    CallbackScope() {
        std::lock_guard lock(bridge().mutex);
        core_ = bridge().core;
        if (core_ != nullptr) ++bridge().inside;
    }
    ~CallbackScope() {
        if (core_ == nullptr) return;
        {
            std::lock_guard lock(bridge().mutex);
            --bridge().inside;
        }
        bridge().idle.notify_all();
    }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;
    [[nodiscard]] ConnectionCore* core() const { return core_; }

private:
    ConnectionCore* core_ = nullptr;
};

}  // namespace

bool CallbackBridge::attach(ConnectionCore* core) {
    std::lock_guard lock(bridge().mutex);
    if (bridge().core != nullptr && bridge().core != core) return false;
    bridge().core = core;
    return true;
}

void CallbackBridge::detach(ConnectionCore* core) {
    std::unique_lock lock(bridge().mutex);
    if (bridge().core != core) return;
    bridge().core = nullptr;
    // Callbacks never wait for another thread of the program, so this wait is short.
    bridge().idle.wait(lock, [] { return bridge().inside == 0; });
}

void CallbackBridge::onDisconnect(ScannerHandle handle) {
    const CallbackScope scope;
    if (scope.core() != nullptr) scope.core()->onDisconnect(handle);
}

void CallbackBridge::onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted) {
    const CallbackScope scope;
    if (scope.core() != nullptr) scope.core()->onScanData(handle, record, length, deleted);
}

}  // namespace talvo
