// What a page of the settings sheet needs from its sheet: the scanners (asked for as MsgGetConnected,
// as often as the page needs them), the configure worker and the sheet's session, whose stop token ends
// the page's scanner work when the sheet closes.
#pragma once

#include "pages/configure/configure_worker.h"

#include "ztdevsearch.h"

#include <stop_token>
#include <vector>

namespace talvo::config {

class SheetAccess {
public:
    virtual ~SheetAccess() = default;
    // The sheet's scanners in the order they were given (MsgGetConnected, capacity 16).
    [[nodiscard]] virtual std::vector<DeviceRecord*> sheetDevices() = 0;
    [[nodiscard]] virtual ConfigureWorker& worker() = 0;
    // Stopped when the sheet closes.
    [[nodiscard]] virtual std::stop_token session() const = 0;
    // The sheet's widget, the parent of message boxes.
    [[nodiscard]] virtual QWidget* sheetWidget() = 0;
};

}  // namespace talvo::config
