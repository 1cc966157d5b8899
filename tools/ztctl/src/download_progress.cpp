#include "download_progress.h"

#include <cstdio>
#include <utility>

namespace ztctl {
namespace {

constexpr int kBarWidth = 30;

std::string bar(int total, int received) {
    const int filled = total > 0 ? static_cast<int>(static_cast<long long>(received) * kBarWidth / total) : kBarWidth;
    std::string text = "[";
    for (int i = 0; i < kBarWidth; ++i) text += i < filled ? '#' : '.';
    return text + "]";
}

}  // namespace

DownloadProgress::DownloadProgress(std::string label, bool terminal) : label_(std::move(label)), terminal_(terminal) {}

void DownloadProgress::update(int total, int received) {
    if (received < 0 || received > total) return;  // the failure is reported by the caller
    const long long percent = total > 0 ? static_cast<long long>(received) * 100 / total : 100;
    if (terminal_) {
        std::fprintf(stderr, "\r%s %s %3lld%% %d/%d\x1b[K", label_.c_str(), bar(total, received).c_str(), percent,
                     received, total);
        drawn_ = true;
    } else {
        std::fprintf(stderr, "%s: %d of %d records\n", label_.c_str(), received, total);
    }
    std::fflush(stderr);
}

void DownloadProgress::finish() {
    if (drawn_) std::fputs("\n", stderr);
    drawn_ = false;
}

}  // namespace ztctl
