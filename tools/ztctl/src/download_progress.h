// Progress of one scanner's download on stderr: a bar redrawn in place when stderr is a terminal, plain
// lines otherwise. The SDK reports progress through a callback without context, on its own thread while
// the download runs: the one DownloadProgress that exists at a time is its target (Callbacks).
#pragma once

#include "zt/client/callback_route.h"

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

    // The progress callback: update(), through the route of `Callbacks`.
    void onProgress(int total, int received) { update(total, received); }
    // Callbacks::onProgress is the CollectProgressCallback given to the SDK.
    using Callbacks = zt::client::RoutedCallbacks<DownloadProgress>;

private:
    std::string label_;
    bool terminal_;
    bool drawn_ = false;
    // Last: attached while the rest exists.
    zt::client::CallbackRoute<DownloadProgress>::Attachment route_{*this};
};

}  // namespace ztctl
