// The Download page's worker thread: waits for a start, then downloads every scanner of the job in
// turn into its scan-data file, keeps the status text (one result line per scanner) and reports it to
// the notice, waits kCompletionWait, shows "Download\r\nCompleted!", waits again and reports the end.
//
// The SDK's progress callback carries no context: it reaches the one worker through its process-wide
// route while the worker exists. The callback runs on the SDK's thread of the handle while the worker
// waits inside ztPrepareCollecting; the status text is guarded by a lock all the same.
//
// Hooks run on the worker thread (or the SDK's) and must not block: they post to the user-interface
// thread. stop() (also the destructor) wakes the worker out of every wait, lets the scanner under way
// end (the SDK's own shutdown cuts it short), skips the rest and joins the thread.
#pragma once

#include "pages/download/download_target.h"
#include "zt/client/callback_route.h"
#include "zt/scandata/scan_data_line.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace talvo::download {

struct DownloadJob {
    std::vector<DownloadTarget> targets;
    std::filesystem::path folder;
    zt::scandata::LineForm form = zt::scandata::LineForm::WithTime;
};

class DownloadWorker {
public:
    // Before and after the completion text, so that the user can read the results.
    static constexpr std::chrono::milliseconds kCompletionWait{1000};

    struct Hooks {
        std::function<void(const QString& text)> noticeText;
        std::function<void(bool visible)> noticeVisible;
        std::function<void()> finished;  // the job is over ("Start" may be pressed again)
    };

    explicit DownloadWorker(Hooks hooks, std::chrono::milliseconds completionWait = kCompletionWait);
    ~DownloadWorker();
    DownloadWorker(const DownloadWorker&) = delete;
    DownloadWorker& operator=(const DownloadWorker&) = delete;

    // Hands the worker a job; false (and nothing happens) while another one is pending or running.
    [[nodiscard]] bool start(DownloadJob job);
    // Idempotent; afterwards start() refuses.
    void stop();
    [[nodiscard]] bool busy() const;

    // The progress callback's work, reached through the route of `Callbacks`.
    void onProgress(int total, int received);
    // Callbacks::onProgress is the CollectProgressCallback given to ztPrepareCollecting.
    using Callbacks = zt::client::RoutedCallbacks<DownloadWorker>;

private:
    void run(std::stop_token stop);
    void runJob(const DownloadJob& job, std::stop_token stop);
    void downloadOne(const DownloadJob& job, const DownloadTarget& target);
    void setStatus(const QString& status);
    void wait(std::stop_token stop);
    void notice(const QString& text) const;

    Hooks hooks_;
    std::chrono::milliseconds completionWait_;

    mutable std::mutex mutex_;
    std::condition_variable_any wake_;
    std::optional<DownloadJob> pending_;
    bool busy_ = false;
    bool stopped_ = false;

    mutable std::mutex statusLock_;
    QString status_;
    QString currentName_;
    bool failureShown_ = false;  // the SDK reported this scanner's failure through the progress callback

    zt::client::CallbackRoute<DownloadWorker>::Attachment route_{*this};
    std::jthread thread_;  // last: starts after the members above exist
};

}  // namespace talvo::download
