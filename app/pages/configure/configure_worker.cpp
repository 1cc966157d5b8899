#include "pages/configure/configure_worker.h"

namespace talvo::config {

ConfigureWorker::ConfigureWorker(QObject* parent)
    : QObject(parent), thread_([this](std::stop_token stop) { loop(stop); }) {}

ConfigureWorker::~ConfigureWorker() {
    {
        std::lock_guard guard(lock_);
        jobs_.clear();
    }
    thread_.request_stop();
    // jthread's destructor joins; the condition wait below wakes on the stop request, and a running job
    // sees it through its token.
}

int ConfigureWorker::pendingJobs() const {
    std::lock_guard guard(lock_);
    return static_cast<int>(jobs_.size()) + running_;
}

void ConfigureWorker::enqueue(std::stop_token stop, Job job) {
    {
        std::lock_guard guard(lock_);
        jobs_.push_back(Entry{std::move(stop), std::move(job)});
    }
    wake_.notify_one();
}

void ConfigureWorker::deliver(Result result) {
    {
        std::lock_guard guard(mailboxLock_);
        mailbox_.push_back(std::move(result));
    }
    QMetaObject::invokeMethod(this, "drainMailbox", Qt::QueuedConnection);
}

void ConfigureWorker::drainMailbox() {
    std::deque<Result> results;
    {
        std::lock_guard guard(mailboxLock_);
        results.swap(mailbox_);
    }
    for (Result& result : results) result();
}

void ConfigureWorker::loop(std::stop_token stop) {
    std::unique_lock guard(lock_);
    while (wake_.wait(guard, stop, [this] { return !jobs_.empty(); })) {
        Entry entry = std::move(jobs_.front());
        jobs_.pop_front();
        if (entry.stop.stop_requested()) continue;
        running_ = 1;
        guard.unlock();
        {
            // The job stops with its own token or with the worker.
            std::stop_source jobStop;
            const auto stopJob = [&jobStop] { jobStop.request_stop(); };
            const std::stop_callback byCaller(entry.stop, stopJob);
            const std::stop_callback byWorker(stop, stopJob);
            entry.job(jobStop.get_token());
        }
        entry = {};  // the job's captures go on this thread, outside the lock
        guard.lock();
        running_ = 0;
    }
}

}  // namespace talvo::config
