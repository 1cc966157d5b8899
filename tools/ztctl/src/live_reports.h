// Live barcodes and deleted-data reports that arrive while a one-shot command works on its scanners.
// The SDK acknowledges every one of them, so the scanner will not send it again: each is told on stderr
// (one line, or one JSON object per line like `listen --json`) and never silently dropped.
#pragma once

#include "live_events.h"
#include "paired_scanners.h"

#include <string>
#include <utility>

namespace ztctl {

class LiveReports {
public:
    LiveReports(ScannerNames names, bool json) : names_(std::move(names)), json_(json) {}

    // Where the SDK's callbacks go while the command runs.
    [[nodiscard]] LiveEventSink& sink() { return sink_; }
    // Readable while reports wait to be printed.
    [[nodiscard]] int fd() const { return sink_.fd(); }
    // Prints what arrived so far.
    void printPending();

    // "COM5 (ZT-550 00005): live barcode 2024/05/17 10:30:00: 12345", or "deleted-data report"; without
    // a line end. The JSON form is that of `listen --json`.
    [[nodiscard]] static std::string format(const LiveEvent& event, const ScannerNames& names, bool json);

private:
    LiveEventSink sink_;
    ScannerNames names_;
    bool json_;
};

}  // namespace ztctl
