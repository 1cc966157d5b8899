// Cuts a byte stream into command lines. "\n" ends a line and a "\r" before it is dropped. A line longer
// than the limit is not kept: it comes out once, marked too long, when its end arrives.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zt::sim::cli {

struct Line {
    std::string text;
    bool tooLong = false;
};

class LineSplitter {
public:
    static constexpr std::size_t kMaxLine = 4096;

    explicit LineSplitter(std::size_t maxLength = kMaxLine) : maxLength_(maxLength) {}

    // The lines that `bytes` completes, in order.
    [[nodiscard]] std::vector<Line> feed(std::string_view bytes);
    // At the end of the input: the last line if it had no "\n".
    [[nodiscard]] std::optional<Line> finish();

private:
    [[nodiscard]] Line take();

    std::size_t maxLength_;
    std::string partial_;
    bool overflowed_ = false;
};

}  // namespace zt::sim::cli
