#include "connection/device_state.h"

namespace talvo {

const char* statusText(std::int32_t state) noexcept {
    switch (static_cast<DeviceState>(state)) {
        case DeviceState::Disconnected: return "Disconnected";
        case DeviceState::Connecting: return "Connecting...";
        case DeviceState::Connected: return "Connected";
        case DeviceState::ConnectFail: return "Connect Fail";
        case DeviceState::DisconnectFail: return "Disconnect Fail";
    }
    return "";
}

}  // namespace talvo
