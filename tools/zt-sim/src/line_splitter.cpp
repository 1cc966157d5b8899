#include "line_splitter.h"

#include <utility>

namespace zt::sim::cli {

std::vector<Line> LineSplitter::feed(std::string_view bytes) {
    std::vector<Line> lines;
    while (!bytes.empty()) {
        const auto newline = bytes.find('\n');
        const auto piece = bytes.substr(0, newline);
        if (!overflowed_) {
            // Room for one "\r" more than the limit, since it is dropped at the end of the line.
            if (partial_.size() + piece.size() > maxLength_ + 1) {
                overflowed_ = true;
                partial_.clear();
            } else {
                partial_.append(piece);
            }
        }
        if (newline == std::string_view::npos) break;
        lines.push_back(take());
        bytes.remove_prefix(newline + 1);
    }
    return lines;
}

std::optional<Line> LineSplitter::finish() {
    if (partial_.empty() && !overflowed_) return std::nullopt;
    return take();
}

Line LineSplitter::take() {
    if (!partial_.empty() && partial_.back() == '\r') partial_.pop_back();
    const bool tooLong = overflowed_ || partial_.size() > maxLength_;
    overflowed_ = false;
    return {std::exchange(partial_, {}), tooLong};
}

}  // namespace zt::sim::cli
