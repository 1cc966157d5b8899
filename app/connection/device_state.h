// Connection states of a scanner's record, the events that announce their changes, and what the pages
// show for them.
#pragma once

#include <cstdint>
#include <string>

namespace talvo {

enum class DeviceState : std::int32_t {
    Disconnected = 0,    // not connected, no attempt pending
    Connecting = 1,      // an attempt is queued or running, or a reconnect is scheduled
    Connected = 2,       // the SDK connection is open; the handle is valid
    ConnectFail = 3,     // the last attempt failed and no retry is left
    DisconnectFail = 4,  // has a text; no transition enters it
};

// First argument of MsgDeviceEvent.
enum class DeviceEventKind : int {
    Connected = 0,
    Disconnected = 1,
    Connecting = 2,
    ConnectFailed = 3,
};

// Payload of every MsgDeviceEvent: the scanner as it was when the event was posted, so that a page can
// match its rows without touching the record (which another thread may change meanwhile).
struct DeviceEventInfo {
    std::int32_t port = 0;
    std::wstring name;
};

// "Disconnected", "Connecting...", "Connected", "Connect Fail", "Disconnect Fail"; empty for any other value.
[[nodiscard]] const char* statusText(std::int32_t state) noexcept;

}  // namespace talvo
