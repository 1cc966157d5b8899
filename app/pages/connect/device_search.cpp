#include "pages/connect/device_search.h"

#include "messages/queued_calls.h"

#include <algorithm>

namespace talvo {

DeviceSearch::SearchFunction DeviceSearch::systemSearch() {
    return []() -> std::optional<Records> {
        // Stands in the list during the search: still there afterwards means the search found no source
        // and left the list as it was.
        DeviceRecord sentinel;
        DeviceRecordList result{&sentinel};
        SearchingDevice(result);
        if (result.size() == 1 && result.front() == &sentinel) return std::nullopt;
        Records found;
        found.reserve(result.size());
        for (DeviceRecord* record : result) found.emplace_back(record);  // the search's records are ours
        return found;
    };
}

DeviceSearch::DeviceSearch(ResultHandler onResult, SearchFunction search, QObject* parent)
    : QObject(parent),
      onResult_(std::move(onResult)),
      search_(std::move(search)),
      calls_(new QueuedCalls(this)),
      thread_([this](std::stop_token stop) { run(std::move(stop)); }) {}

DeviceSearch::~DeviceSearch() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

void DeviceSearch::request() {
    ++asked_;
    {
        const std::lock_guard lock(mutex_);
        latest_ = asked_;
    }
    wake_.notify_one();
}

void DeviceSearch::run(std::stop_token stop) {
    for (;;) {
        std::uint64_t covers = 0;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return latest_ > started_; })) return;
            covers = started_ = latest_;  // one search answers every request made so far
        }
        auto result = std::make_shared<std::optional<Records>>(search_());
        if (stop.stop_requested()) return;
        // Queued to this object's thread; dropped with the object if it goes first.
        calls_->post([this, result, covers] { deliver(result, covers); });
    }
}

void DeviceSearch::deliver(std::shared_ptr<std::optional<Records>> result, std::uint64_t covers) {
    answered_ = std::max(answered_, covers);
    if (onResult_) onResult_(std::move(*result));
}

}  // namespace talvo
