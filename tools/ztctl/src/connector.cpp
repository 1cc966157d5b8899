#include "connector.h"

#include "zt/client/scanner_time.h"

namespace ztctl {

using zt::client::localScannerTime;

Connector::Connector(LiveEventSink& sink) : sink_(sink), thread_([this](std::stop_token stop) { run(stop); }) {}

Connector::~Connector() {
    requestStop();
    join();
}

void Connector::request(unsigned port) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(port);
    }
    wake_.notify_one();
}

void Connector::requestStop() { thread_.request_stop(); }

void Connector::join() {
    if (thread_.joinable()) thread_.join();
}

void Connector::run(const std::stop_token& stop) {
    while (true) {
        unsigned port = 0;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return !queue_.empty(); })) return;
            port = queue_.front();
            queue_.pop_front();
        }
        open(port, stop);
    }
}

void Connector::open(unsigned port, const std::stop_token& stop) {
    sink_.beginOpen(port);
    int error = SDK_OK;
    ScannerHandle handle =
        ztInitialize(port, &error, &LiveEventSink::Callbacks::onDisconnect, &LiveEventSink::Callbacks::onScanData);
    if (handle == nullptr) {
        sink_.failOpen(port, error == SDK_OK ? SDK_ERR_OPEN_FAILED : error);
        return;
    }
    if (!sink_.finishOpen(port, handle) || stop.stop_requested()) return;
    const auto now = localScannerTime();
    sink_.post({LiveEvent::Kind::ClockSet, port, ztSetTime(handle, now.data()), {}});
}

}  // namespace ztctl
