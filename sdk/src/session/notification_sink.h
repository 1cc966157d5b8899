// Where a scanner handle posts its events: the process-wide session registry.
#pragma once

#include "session/notification.h"

namespace zt::sdk {

class NotificationSink {
public:
    // Never waits for the notification to be handled.
    virtual void post(Notification notification) = 0;

protected:
    ~NotificationSink() = default;
};

}  // namespace zt::sdk
