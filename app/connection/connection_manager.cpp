#include "connection/connection_manager.h"

#include "connection/connection_core.h"
#include "connection/connection_worker.h"
#include "messages/app_messages.h"

#include "zt/client/callback_route.h"

#include <stdexcept>
#include <utility>

namespace talvo {

class ConnectionManager::Impl {
public:
    using Route = zt::client::CallbackRoute<ConnectionCore>;

    Impl(PageReceivers receivers, ConnectionInputs inputs, ConnectionDelays delays, SdkFunctions sdk)
        : core(receivers, std::move(inputs), delays, sdk) {
        if (!Route::attach(core)) throw std::logic_error("only one connection manager may run");
        worker.emplace(core);
    }

    ConnectionCore core;
    std::optional<ConnectionWorker> worker;
    bool shutDown = false;
};

ConnectionManager::ConnectionManager(PageReceivers receivers, ConnectionInputs inputs, ConnectionDelays delays,
                                     SdkFunctions sdk)
    : impl_(std::make_unique<Impl>(receivers, std::move(inputs), delays, sdk)) {}

ConnectionManager::~ConnectionManager() { shutdown(); }

void ConnectionManager::setScanDataHandler(ScanDataHandler handler) {
    impl_->core.setScanDataHandler(std::move(handler));
}

int ConnectionManager::connectRequest(int kind, DeviceRecord* record) {
    if (record == nullptr || impl_->shutDown) return 1;
    if (kind == 0)
        requestConnect(*record);
    else if (kind == 1)
        requestDisconnect(*record);
    return 1;
}

void ConnectionManager::requestConnect(DeviceRecord& record) {
    if (!impl_->shutDown) impl_->core.requestConnect(record);
}

void ConnectionManager::requestDisconnect(DeviceRecord& record) {
    if (!impl_->shutDown) impl_->core.requestDisconnect(record);
}

int ConnectionManager::getConnected(DeviceRecord** out, int capacity) const {
    return impl_->core.getConnected(out, capacity);
}

std::vector<DeviceRecord*> ConnectionManager::connected(int capacity) const {
    std::vector<DeviceRecord*> out(static_cast<std::size_t>(std::max(capacity, 0)));
    out.resize(static_cast<std::size_t>(getConnected(out.data(), capacity)));
    return out;
}

std::optional<std::wstring> ConnectionManager::connectedName(ScannerHandle handle) const {
    return impl_->core.connectedName(handle);
}

void ConnectionManager::retire(std::unique_ptr<DeviceRecord> record) { impl_->core.retire(std::move(record)); }

void ConnectionManager::shutdown() {
    if (impl_->shutDown) return;
    impl_->shutDown = true;
    closeSendGate();  // a worker waiting for the user-interface thread gives up
    impl_->worker->requestStop();
    // Closing everything now also cuts short an open the worker is in (up to 4 s for a silent scanner).
    const auto& sdk = impl_->core.sdk();
    (void)sdk.deinitialize(nullptr, 1);
    impl_->worker->stop();
    (void)sdk.deinitialize(nullptr, 1);  // whatever the worker opened after the first close
    Impl::Route::detach(impl_->core);
    impl_->core.clear();
}

}  // namespace talvo
