#include "pages/download/download_worker.h"

#include "connection/record_fields.h"
#include "pages/download/notice_texts.h"
#include "pages/download/scanner_download.h"

#include <unistd.h>

namespace talvo::download {
namespace {

bool folderUsable(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_directory(folder, error) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

DownloadWorker::DownloadWorker(Hooks hooks, std::chrono::milliseconds completionWait)
    : hooks_(std::move(hooks)),
      completionWait_(completionWait),
      thread_([this](std::stop_token stop) { run(std::move(stop)); }) {}

DownloadWorker::~DownloadWorker() { stop(); }

bool DownloadWorker::start(DownloadJob job) {
    {
        std::lock_guard lock(mutex_);
        if (stopped_ || busy_ || pending_) return false;
        pending_ = std::move(job);
    }
    wake_.notify_all();
    return true;
}

void DownloadWorker::stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
}

bool DownloadWorker::busy() const {
    std::lock_guard lock(mutex_);
    return busy_ || pending_.has_value();
}

void DownloadWorker::run(std::stop_token stop) {
    for (;;) {
        DownloadJob job;
        {
            std::unique_lock lock(mutex_);
            if (!wake_.wait(lock, stop, [this] { return pending_.has_value(); })) return;
            job = std::move(*pending_);
            pending_.reset();
            busy_ = true;
        }
        runJob(job, stop);
        {
            std::lock_guard lock(mutex_);
            busy_ = false;
        }
        if (hooks_.finished) hooks_.finished();
    }
}

void DownloadWorker::runJob(const DownloadJob& job, std::stop_token stop) {
    if (hooks_.noticeVisible) hooks_.noticeVisible(true);
    setStatus(kDownloading);
    notice(kDownloading);
    if (!folderUsable(job.folder)) {
        notice(folderUnusableNotice(QString::fromStdString(job.folder.string())));
    } else {
        for (const DownloadTarget& target : job.targets) {
            if (stop.stop_requested()) break;
            downloadOne(job, target);
        }
        wait(stop);
        setStatus(kCompleted);
        notice(kCompleted);
    }
    wait(stop);
    if (hooks_.noticeVisible) hooks_.noticeVisible(false);
}

void DownloadWorker::downloadOne(const DownloadJob& job, const DownloadTarget& target) {
    {
        std::lock_guard lock(statusLock_);
        currentName_ = target.name;
        failureShown_ = false;
    }
    const ScannerHandle handle = recordHandle(*target.record);
    const ScannerResult result =
        downloadScanner(handle, job.folder / target.fileName, job.form, &Callbacks::onProgress);
    std::optional<NoticeUpdate> update;
    {
        std::lock_guard lock(statusLock_);
        if (result.outcome == ScannerOutcome::NoData) update = noDataNotice(status_, target.name);
        // A file that could not be completed after a successful transfer (said "Done!") gets its own line.
        const bool unfinished = result.outcome == ScannerOutcome::Failed && result.result == SDK_OK;
        if (result.outcome == ScannerOutcome::WriteFailed || unfinished)
            update = writeFailedNotice(status_, target.name);
        // A download refused before any transfer (the handle busy with another operation, or closed)
        // gets no call from the SDK; its scanner still gets its "Fail!" line.
        if (result.outcome == ScannerOutcome::Failed && !unfinished && !failureShown_)
            update = progressNotice(status_, target.name, 0, -1);
        if (update) status_ += update->statusTail;
    }
    if (update) notice(update->notice);
}

void DownloadWorker::onProgress(int total, int received) {
    NoticeUpdate update;
    {
        std::lock_guard lock(statusLock_);
        update = progressNotice(status_, currentName_, total, received);
        status_ += update.statusTail;
        if (received == -1) failureShown_ = true;
    }
    notice(update.notice);
}

void DownloadWorker::setStatus(const QString& status) {
    std::lock_guard lock(statusLock_);
    status_ = status;
}

void DownloadWorker::wait(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    (void)wake_.wait_for(lock, stop, completionWait_, [] { return false; });
}

void DownloadWorker::notice(const QString& text) const {
    if (hooks_.noticeText) hooks_.noticeText(text);
}

}  // namespace talvo::download
