#include "line_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zt::sim::cli {
namespace {

std::vector<std::string> texts(const std::vector<Line>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines) out.push_back(line.tooLong ? "<too long>" : line.text);
    return out;
}

TEST(LineSplitter, JoinsPiecesAndDropsTheCarriageReturnBeforeTheNewline) {
    LineSplitter splitter;
    EXPECT_TRUE(splitter.feed("sc").empty());
    EXPECT_EQ(texts(splitter.feed("an 5 1\r\n\nlist\rx\nfi")), (std::vector<std::string>{"scan 5 1", "", "list\rx"}));
    EXPECT_EQ(texts(splitter.feed("ll 5 2\n")), (std::vector<std::string>{"fill 5 2"}));
    EXPECT_FALSE(splitter.finish());
    EXPECT_TRUE(splitter.feed("quit").empty());
    EXPECT_EQ(splitter.finish()->text, "quit");
    EXPECT_FALSE(splitter.finish());
}

TEST(LineSplitter, ReportsALineOverTheLimitOnceAndGoesOn) {
    LineSplitter splitter(4);
    EXPECT_EQ(texts(splitter.feed("abcd\r\nabcde\n")), (std::vector<std::string>{"abcd", "<too long>"}));
    EXPECT_TRUE(splitter.feed("123").empty());
    EXPECT_TRUE(splitter.feed("456789").empty()) << "the rest of a long line is dropped as it comes";
    EXPECT_EQ(texts(splitter.feed("0\nok\n")), (std::vector<std::string>{"<too long>", "ok"}));
    EXPECT_TRUE(splitter.feed("abcdefgh").empty());
    const auto last = splitter.finish();
    ASSERT_TRUE(last);
    EXPECT_TRUE(last->tooLong);
}

}  // namespace
}  // namespace zt::sim::cli
