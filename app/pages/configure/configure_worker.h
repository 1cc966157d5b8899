// The configure worker: the one thread on which every scanner call of the Configure page and its
// settings sheet runs (reads when a page opens, writes at OK, the System buttons). Jobs run one after
// the other in the order they were queued. A job's result comes back to the user-interface thread as a
// queued call, and only while the object that asked for it (its guard) still exists.
//
// Every job carries a stop token (the settings sheet's session, or the writes it confirmed): a job whose
// token is stopped before it starts is dropped, and a running job looks at the token it is handed
// between its scanner calls, so that closing the sheet abandons what is left without waiting. That
// token is also stopped when the worker ends: the destructor drops the queue, stops the running job and
// joins the thread, which then waits for at most the scanner call in progress.
#pragma once

#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace talvo::config {

class ConfigureWorker : public QObject {
    Q_OBJECT

public:
    explicit ConfigureWorker(QObject* parent = nullptr);
    ~ConfigureWorker() override;
    ConfigureWorker(const ConfigureWorker&) = delete;
    ConfigureWorker& operator=(const ConfigureWorker&) = delete;

    // Queues `work` (run on the worker with a token that stops with `stop` or with the worker); its
    // result is handed to `done` on this object's thread unless `stop` was stopped meanwhile or `guard`
    // is gone. User-interface thread only.
    template <class Work, class Done>
    void run(QObject* guard, std::stop_token stop, Work work, Done done) {
        QPointer<QObject> alive(guard);
        enqueue(stop,
                [this, alive, stop, work = std::move(work), done = std::move(done)](std::stop_token jobStop) mutable {
                    auto result = work(jobStop);
                    if (jobStop.stop_requested()) return;
                    deliver([alive, stop, done = std::move(done), result = std::move(result)]() mutable {
                        if (alive != nullptr && !stop.stop_requested()) done(std::move(result));
                    });
                });
    }

    // Jobs queued and not finished (the one running included).
    [[nodiscard]] int pendingJobs() const;

private:
    using Job = std::function<void(std::stop_token)>;
    using Result = std::function<void()>;
    struct Entry {
        std::stop_token stop;
        Job job;
    };

    void enqueue(std::stop_token stop, Job job);
    // Hands a finished job's result to this object's thread: through a mailbox under a lock of our own,
    // since the thread checkers do not see the locking of Qt's queue, and a queued call by name.
    void deliver(Result result);
    Q_INVOKABLE void drainMailbox();
    void loop(std::stop_token stop);

    mutable std::mutex lock_;
    std::condition_variable_any wake_;
    std::deque<Entry> jobs_;
    std::mutex mailboxLock_;
    std::deque<Result> mailbox_;
    int running_ = 0;
    std::jthread thread_;  // last: starts after the queue exists, joined before it goes
};

}  // namespace talvo::config
