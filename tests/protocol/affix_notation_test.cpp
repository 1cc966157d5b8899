// The backslash notation of prefix and suffix texts, both directions.
#include "zt/protocol/affix_notation.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zt::wire {
namespace {

using namespace std::string_literals;

TEST(AffixNotation, Unescape) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a\\tb", "a\tb"},
        {"\\n\\N\\r\\R\\t\\T", "\n\n\r\r\t\t"},
        {"a\\\\tb", "a\\tb"},  // the second backslash cannot start a sequence
        {"a\\\\\\t", "a\\\t"},
        {"end\\", "end\\"},  // a trailing backslash stays
        {"\\", "\\"},
        {"\\x\\q", "\\x\\q"},  // other characters keep their backslash
        {"\\\\n", "\\n"},
        {"\\\\\\\\", "\\\\"},
        {"\\\\\\", "\\\\"},  // an escaped backslash, then a trailing one
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(unescapeAffix(in), out) << in;
}

TEST(AffixNotation, EscapeStopsAtTheFirstZero) {
    EXPECT_EQ(escapeAffix("\r\n"), "\\r\\n");
    EXPECT_EQ(escapeAffix("a\\b\t"), "a\\\\b\\t");
    EXPECT_EQ(escapeAffix("ab\0cd"s), "ab");
    EXPECT_EQ(escapeAffix("\0x"s), "");
    EXPECT_EQ(escapeAffix("\x01\x7f\xff"), "\x01\x7f\xff");  // only the four characters are written out
}

TEST(AffixNotation, BytesRoundTrip) {
    // Every byte but zero, and the sequences that look like notation once written out.
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    for (const std::string& bytes : {"plain"s, "\t\r\n\\"s, "x\\y"s, "\\n"s, "\\\\t"s, "\\"s, all}) {
        EXPECT_EQ(unescapeAffix(escapeAffix(bytes)), bytes) << bytes;
    }
}

}  // namespace
}  // namespace zt::wire
