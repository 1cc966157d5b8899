// The SDK's callbacks (scanner lost, live scan data, download progress) carry no context: they reach the
// one object that handles them through a process-wide route, one per kind of target. Detaching waits
// until no callback is inside the target any more, so that a callback never runs on an object that is
// being destroyed. A target's callbacks therefore must not wait for the thread that detaches it.
#pragma once

#include "zt330sdk.h"

#include <condition_variable>
#include <mutex>
#include <utility>

namespace zt::client {

template <class Target>
class CallbackRoute {
public:
    // Makes `target` the one the callbacks reach; false when another one is attached.
    [[nodiscard]] static bool attach(Target& target) {
        const std::lock_guard lock(slot().mutex);
        if (slot().target != nullptr && slot().target != &target) return false;
        slot().target = &target;
        return true;
    }

    // Stops routing to `target` (if it is the one attached) and waits for the callbacks in progress.
    static void detach(Target& target) {
        std::unique_lock lock(slot().mutex);
        if (slot().target != &target) return;
        slot().target = nullptr;
        slot().idle.wait(lock, [] { return slot().inside == 0; });
    }

    // Calls `work(target)` when a target is attached; the target stays attached until it returns.
    template <class Work>
    static void call(Work&& work) {
        Target* target = enter();
        if (target == nullptr) return;
        const Leave leave;
        std::forward<Work>(work)(*target);
    }

    // Attached for its lifetime.
    class Attachment {
    public:
        explicit Attachment(Target& target) : target_(target), attached_(attach(target)) {}
        ~Attachment() {
            if (attached_) detach(target_);
        }
        Attachment(const Attachment&) = delete;
        Attachment& operator=(const Attachment&) = delete;
        [[nodiscard]] bool attached() const { return attached_; }

    private:
        Target& target_;
        bool attached_;
    };

private:
    struct Slot {
        std::mutex mutex;
        std::condition_variable idle;
        Target* target = nullptr;
        int inside = 0;  // callbacks running on `target`
    };
    struct Leave {
        Leave() = default;
        Leave(const Leave&) = delete;
        Leave& operator=(const Leave&) = delete;
        ~Leave() {
            {
                const std::lock_guard lock(slot().mutex);
                --slot().inside;
            }
            slot().idle.notify_all();
        }
    };

    static Slot& slot() {
        static Slot s;
        return s;
    }
    static Target* enter() {
        const std::lock_guard lock(slot().mutex);
        if (slot().target != nullptr) ++slot().inside;
        return slot().target;
    }
};

// The SDK callbacks of a target with the member functions onDisconnect(handle), onScanData(handle,
// record, length, deleted) and onProgress(total, received), routed through CallbackRoute<Target>. Only
// the ones a target has may be named.
template <class Target>
struct RoutedCallbacks {
    static void onDisconnect(ScannerHandle handle) {
        CallbackRoute<Target>::call([&](Target& target) { target.onDisconnect(handle); });
    }
    static void onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted) {
        CallbackRoute<Target>::call([&](Target& target) { target.onScanData(handle, record, length, deleted); });
    }
    static void onProgress(int total, int received) {
        CallbackRoute<Target>::call([&](Target& target) { target.onProgress(total, received); });
    }
};

}  // namespace zt::client
