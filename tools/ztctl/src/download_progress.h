// Progress of one scanner's download on stderr: a bar redrawn in place when stderr is a terminal, plain
// lines otherwise. The SDK reports progress through a callback without context, on its own thread while
// the download runs, so the progress of the one download in progress is reached through `current`.
#pragma once

#include <atomic>
#include <string>

namespace ztctl {

class DownloadProgress {
public:
    DownloadProgress(std::string label, bool terminal);

    // (total, 0) after the size header, then about every tenth record, then (total, total); (0, -1) when
    // the download failed.
    void update(int total, int received);
    // Ends the bar's line, if one was drawn.
    void finish();

    // The download in progress, for `onProgress`; set only around ztPrepareCollecting.
    static std::atomic<DownloadProgress*> current;
    // The CollectProgressCallback given to the SDK.
    static void onProgress(int total, int received);

private:
    std::string label_;
    bool terminal_;
    bool drawn_ = false;
};

}  // namespace ztctl
