// Opening scanners for one command and closing them again.
#pragma once

#include "live_events.h"
#include "paired_scanners.h"
#include "zt330sdk.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ztctl {

// Stops the SDK when it goes out of scope: every handle still open is closed (ztDeinitialize with the
// shutdown flag). Also used to cut short a command that was interrupted: open and running operations then
// end with SDK_ERR_ABORTED.
class SdkShutdown {
public:
    SdkShutdown() = default;
    ~SdkShutdown() { shutdownNow(); }
    SdkShutdown(const SdkShutdown&) = delete;
    SdkShutdown& operator=(const SdkShutdown&) = delete;

    static void shutdownNow() { static_cast<void>(ztDeinitialize(nullptr, 1)); }
};

// One scanner of a command. Closes its handle when it goes out of scope, unless the SDK reported the
// scanner lost (and freed the handle) before.
class OpenScanner {
public:
    OpenScanner(unsigned port, std::optional<std::string> name, ScannerHandle handle, int openResult,
                LiveEventSink& sink);
    ~OpenScanner() { close(); }
    OpenScanner(OpenScanner&& other) noexcept;
    OpenScanner& operator=(OpenScanner&&) = delete;
    OpenScanner(const OpenScanner&) = delete;
    OpenScanner& operator=(const OpenScanner&) = delete;

    [[nodiscard]] unsigned port() const { return port_; }
    [[nodiscard]] const std::optional<std::string>& name() const { return name_; }
    [[nodiscard]] ScannerHandle handle() const { return handle_; }
    [[nodiscard]] bool isOpen() const { return handle_ != nullptr; }
    // Whether the SDK reported the scanner lost since it opened.
    [[nodiscard]] bool lost() const { return handle_ != nullptr && !sink_->isOpen(handle_); }
    // Closes the handle now; the scanner then keeps what it scans until it is opened again.
    void close();
    // SDK_OK, or why the open failed.
    [[nodiscard]] int openResult() const { return openResult_; }
    // "COM5" or "COM5 (ZT-550 1234)", control characters escaped.
    [[nodiscard]] std::string label() const;

private:
    unsigned port_;
    std::optional<std::string> name_;
    ScannerHandle handle_;
    int openResult_;
    LiveEventSink* sink_;
};

// Opens every port at the same time (each open takes a little over a second); the SDK's callbacks go to
// `sink`. Results are in the order of `ports`; failed opens are reported on stderr as "COM5: SDK_ERR_...".
[[nodiscard]] std::vector<OpenScanner> openScanners(std::span<const unsigned> ports, const ScannerNames& names,
                                                    LiveEventSink& sink);
[[nodiscard]] OpenScanner openScanner(unsigned port, const ScannerNames& names, LiveEventSink& sink);

// "COM5: SDK_ERR_TIMEOUT (-9): the scanner did not answer" on stderr; `what` (if any) goes after the port.
void reportFailure(unsigned port, int code, std::string_view what = {});

}  // namespace ztctl
