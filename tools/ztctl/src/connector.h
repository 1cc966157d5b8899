// Opens scanners for `listen` on a thread of its own, one at a time, so that the main loop keeps printing
// barcodes and watching signals while an open takes its second (or four, for a silent scanner). After
// each successful open it sets the scanner's clock from this machine's clock. Outcomes arrive as events
// of the sink: Opened, OpenFailed, ClockSet (or Lost).
#pragma once

#include "live_events.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace ztctl {

class Connector {
public:
    explicit Connector(LiveEventSink& sink);
    ~Connector();  // stops and joins
    Connector(const Connector&) = delete;
    Connector& operator=(const Connector&) = delete;

    void request(unsigned port);
    // No open starts after this; one in progress is cut short only by an SDK shutdown.
    void requestStop();
    void join();

private:
    void run(const std::stop_token& stop);
    void open(unsigned port, const std::stop_token& stop);

    LiveEventSink& sink_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::deque<unsigned> queue_;
    std::jthread thread_;
};

}  // namespace ztctl
