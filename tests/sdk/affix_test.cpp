// The backslash notation of prefix and suffix texts, both directions.
#include "codecs/text_codec.h"

#include <gtest/gtest.h>

namespace zt::sdk {
namespace {

TEST(AffixNotation, Unescape) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a\\tb", "a\tb"},
        {"\\n\\N\\r\\R\\t\\T", "\n\n\r\r\t\t"},
        {"a\\\\tb", "a\\tb"},        // the second backslash cannot start a sequence
        {"a\\\\\\t", "a\\\t"},
        {"end\\", "end\\"},          // a trailing backslash stays
        {"\\x\\q", "\\x\\q"},        // other characters keep their backslash
        {"\\\\n", "\\n"},
        {"", ""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(unescapeAffix(in), out) << in;
}

TEST(AffixNotation, EscapeStopsAtTheFirstZeroAndRoundTrips) {
    EXPECT_EQ(escapeAffix("\r\n"), "\\r\\n");
    EXPECT_EQ(escapeAffix("a\\b\t"), "a\\\\b\\t");
    EXPECT_EQ(escapeAffix(std::string("ab\0cd", 5)), "ab");
    for (const std::string text : {"plain", "\t\r\n\\", "x\\y"}) EXPECT_EQ(unescapeAffix(escapeAffix(text)), text);
}

}  // namespace
}  // namespace zt::sdk
