// Reports that the SDK delivers before the ztInitialize that opens their scanner has returned the
// handle: a barcode sent right after the handshake, or the scanner lost again at once. The callbacks
// name a handle nobody knows yet; these reports are kept under that handle until an open returns it,
// so that a scanner lost while it was being opened counts as lost (its handle is already freed) and its
// early barcodes reach the right scanner. Several opens may run at once.
//
// Not synchronised: the owner calls it under the lock that also guards its own handle-to-scanner map,
// and asks keep() only for handles that map does not hold.
#pragma once

#include "zt330sdk.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace zt::client {

template <class Report>
class OpeningScanners {
public:
    // Before each ztInitialize.
    void begin(unsigned port) { opening_.insert(port); }

    // ztInitialize of `port` returned `handle`: the reports kept for it, in arrival order.
    [[nodiscard]] std::vector<Report> finish(unsigned port, ScannerHandle handle) {
        end(port);
        std::vector<Report> reports;
        if (auto found = kept_.find(handle); found != kept_.end()) {
            reports = std::move(found->second);
            kept_.erase(found);
        }
        return reports;
    }

    // ztInitialize of `port` returned no handle. Once no open runs any more, the reports kept for handles
    // that no open returned (their scanner never opened), in arrival order per handle; else nothing.
    [[nodiscard]] std::vector<Report> fail(unsigned port) {
        end(port);
        std::vector<Report> orphans;
        if (!opening_.empty()) return orphans;
        for (auto& [handle, reports] : kept_) {
            std::move(reports.begin(), reports.end(), std::back_inserter(orphans));
        }
        kept_.clear();
        return orphans;
    }

    // Keeps a report of a handle that no open has returned yet; false (not kept) when no open runs.
    bool keep(ScannerHandle handle, Report report) {
        if (opening_.empty()) return false;
        kept_[handle].push_back(std::move(report));
        return true;
    }

    [[nodiscard]] bool running() const { return !opening_.empty(); }
    // The port being opened when exactly one open runs: an unknown handle's barcode can only be its.
    [[nodiscard]] std::optional<unsigned> onlyOpen() const {
        if (opening_.size() != 1) return std::nullopt;
        return *opening_.begin();
    }
    // Forgets every open and report (the owner stops listening).
    void clear() {
        opening_.clear();
        kept_.clear();
    }

private:
    void end(unsigned port) {
        if (auto found = opening_.find(port); found != opening_.end()) opening_.erase(found);
    }

    std::multiset<unsigned> opening_;
    std::map<ScannerHandle, std::vector<Report>> kept_;
};

}  // namespace zt::client
