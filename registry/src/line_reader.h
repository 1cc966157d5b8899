// Physical lines of a .reg text with their 1-based numbers. "\r\n" and "\n" both end a line.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace zt::registry::detail {

struct Line {
    std::string_view text;
    std::size_t number = 0;
};

class LineReader {
public:
    explicit LineReader(std::string_view text) noexcept : rest_(text) {}

    [[nodiscard]] std::optional<Line> next() noexcept {
        if (exhausted_) return std::nullopt;
        const std::size_t end = rest_.find('\n');
        std::string_view text = rest_.substr(0, end);
        if (end == std::string_view::npos) {
            exhausted_ = true;
            rest_ = {};
        } else {
            rest_.remove_prefix(end + 1);
            exhausted_ = rest_.empty();  // a final newline does not start another line
        }
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        return Line{text, ++number_};
    }

private:
    std::string_view rest_;
    std::size_t number_ = 0;
    bool exhausted_ = false;
};

// Text without leading and trailing blanks (spaces and tabs).
[[nodiscard]] inline std::string_view trimBlanks(std::string_view text) noexcept {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Whether what follows a value is nothing but blanks or a ';' comment.
[[nodiscard]] inline bool isBlankOrComment(std::string_view rest) noexcept {
    rest = trimBlanks(rest);
    return rest.empty() || rest.front() == ';';
}

}  // namespace zt::registry::detail
