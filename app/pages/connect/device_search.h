// The device search of the Connect page, off the user-interface thread: with BlueZ it is a D-Bus round
// trip that can take a second, and the window must not freeze for it. Requests made while a search runs
// are folded into one more search after it. Each result reaches the handler on the thread that owns this
// object (the user-interface thread), through its event queue.
#pragma once

#include "ztdevsearch.h"

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace talvo {

class QueuedCalls;

class DeviceSearch : public QObject {
    Q_OBJECT

public:
    // The records a search found, ours from then on; nothing when it reached no source at all (the
    // rows shown stay as they are).
    using Records = std::vector<std::unique_ptr<DeviceRecord>>;
    using SearchFunction = std::function<std::optional<Records>()>;
    using ResultHandler = std::function<void(std::optional<Records>)>;

    // SearchingDevice of the device-search library.
    [[nodiscard]] static SearchFunction systemSearch();

    DeviceSearch(ResultHandler onResult, SearchFunction search, QObject* parent = nullptr);
    // Stops the thread; a search in progress finishes first (its result is dropped).
    ~DeviceSearch() override;
    DeviceSearch(const DeviceSearch&) = delete;
    DeviceSearch& operator=(const DeviceSearch&) = delete;

    // Asks for a search; returns at once.
    void request();
    // Whether a request has not been answered yet: a search is asked for or running, or its result is
    // on its way to the handler.
    [[nodiscard]] bool searching() const { return answered_ < asked_; }

private:
    void run(std::stop_token stop);
    void deliver(std::shared_ptr<std::optional<Records>> result, std::uint64_t covers);

    ResultHandler onResult_;
    SearchFunction search_;
    QueuedCalls* calls_;          // results from the search thread
    std::uint64_t asked_ = 0;     // requests made (user-interface thread)
    std::uint64_t answered_ = 0;  // requests whose search result has been handed over

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::uint64_t latest_ = 0;   // the newest request the thread knows of
    std::uint64_t started_ = 0;  // the newest request a search has begun for
    std::jthread thread_;        // last: starts once the members above exist
};

}  // namespace talvo
