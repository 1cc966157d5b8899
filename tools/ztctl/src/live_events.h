// Hands the SDK's callbacks to a command's main loop. The callbacks carry no context and run on the SDK's
// dispatcher thread, which must not be held up: they only look up the scanner's port and queue an event,
// and the main loop, woken through a descriptor, does the rest.
//
// A handle is mapped to its port while it is open. The SDK may report a scanner before ztInitialize has
// returned its handle (a barcode, or a loss, right after the handshake). With one open in progress such
// a barcode belongs to it; otherwise the event waits under its handle until an open returns that handle
// (zt::client::OpeningScanners). A lost handle leaves the map inside its disconnect callback, before the
// SDK frees it, so a later handle at the same address is never mistaken for it.
#pragma once

#include "zt/client/callback_route.h"
#include "zt/client/opening_scanners.h"
#include "zt/platform/unique_fd.h"
#include "zt330sdk.h"

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace ztctl {

struct LiveEvent {
    enum class Kind { Scan, Deleted, Lost, Opened, OpenFailed, ClockSet };
    Kind kind = Kind::Scan;
    unsigned port = 0;
    int result = SDK_OK;               // OpenFailed, ClockSet
    std::vector<std::uint8_t> record;  // Scan, Deleted: the scan record, text and zero byte included
};

class LiveEventSink {
public:
    LiveEventSink();   // becomes the target of the SDK's callbacks; only one may exist at a time
    ~LiveEventSink();  // stops being it, once the callbacks in progress have returned
    LiveEventSink(const LiveEventSink&) = delete;
    LiveEventSink& operator=(const LiveEventSink&) = delete;

    // Readable while events wait.
    [[nodiscard]] int fd() const { return ready_.fd(); }
    [[nodiscard]] std::deque<LiveEvent> take();
    void post(LiveEvent event);

    // Around each ztInitialize; several may be in progress at once.
    void beginOpen(unsigned port);
    // Maps the handle and posts the events that waited for it, then Opened; false when the scanner was
    // already lost again (Lost was posted instead of Opened).
    [[nodiscard]] bool finishOpen(unsigned port, ScannerHandle handle);
    void failOpen(unsigned port, int error);
    // After ztDeinitialize(handle, 0) returned: the handle is no longer mapped. Events that the SDK still
    // delivers for it are told as the port's while no open is in progress.
    void closed(ScannerHandle handle);
    // Whether the handle is open: mapped, and not lost.
    [[nodiscard]] bool isOpen(ScannerHandle handle) const;

    // For closing: the open handles. From then on, events of handles that are not mapped are dropped.
    [[nodiscard]] std::vector<ScannerHandle> beginClosing();

    // The SDK's callbacks, reached through the route of `Callbacks`.
    void onScanData(ScannerHandle handle, const unsigned char* record, int length, int deleted);
    void onDisconnect(ScannerHandle handle);
    // The callbacks given to ztInitialize.
    using Callbacks = zt::client::RoutedCallbacks<LiveEventSink>;

private:
    // The port of `handle`, of the only open in progress for an unknown handle, or of a closed handle;
    // nothing when it cannot be told yet. Under the lock.
    [[nodiscard]] std::optional<unsigned> portOfLocked(ScannerHandle handle) const;
    // Posts the event with the handle's port, or keeps it until an open returns the handle.
    void routeLocked(ScannerHandle handle, LiveEvent event);
    void postLocked(LiveEvent event);

    mutable std::mutex mutex_;
    std::map<ScannerHandle, unsigned> ports_;
    std::map<ScannerHandle, unsigned> closed_;
    zt::client::OpeningScanners<LiveEvent> opening_;
    bool closing_ = false;
    std::deque<LiveEvent> events_;
    zt::platform::WakeFd ready_;
    // Last: the callbacks reach the sink once everything above exists, and no more before it goes.
    zt::client::CallbackRoute<LiveEventSink>::Attachment route_{*this};
};

}  // namespace ztctl
