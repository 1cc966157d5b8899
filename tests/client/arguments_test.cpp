// The command-line parser of the project's programs.
#include "zt/client/arguments.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace zt::client {
namespace {

using Words = std::vector<std::string_view>;

TEST(Arguments, OptionsMayStandAnywhereAndTakeValuesBothWays) {
    const Words words{"5", "--out", "dir", "6", "--no-time", "--time=20240101000000"};
    const Arguments args(words, {{"--out", true}, {"--no-time", false}, {"--time", true}});
    EXPECT_EQ(args.positionals().size(), 2U);
    EXPECT_EQ(args.value("--out"), "dir");
    EXPECT_EQ(args.value("--time"), "20240101000000");
    EXPECT_TRUE(args.has("--no-time"));
    EXPECT_FALSE(args.has("--out-dir"));
    EXPECT_EQ(args.value("--missing"), std::nullopt);
    EXPECT_FALSE(args.help());
}

TEST(Arguments, RepeatedOptionsKeepEveryValueInOrder) {
    const Words words{"--port", "3", "--port=1", "--port", "--dir"};
    const Arguments args(words, {{"--port", true}, {"--dir", true}});
    EXPECT_EQ(args.values("--port"), (Words{"3", "1", "--dir"}));  // a value may look like an option
    EXPECT_EQ(args.value("--port"), "--dir");
    EXPECT_FALSE(args.has("--dir"));
    EXPECT_TRUE(args.values("--dir").empty());
    EXPECT_EQ(Arguments(Words{"--dir="}, {{"--dir", true}}).value("--dir"), "");  // an empty value is a value
}

TEST(Arguments, DoubleDashEndsOptionsAndNegativeNumbersArePositional) {
    const Words words{"-1", "--", "--json"};
    const Arguments args(words, {{"--json", false}});
    EXPECT_FALSE(args.has("--json"));
    ASSERT_EQ(args.positionals().size(), 2U);
    EXPECT_EQ(args.positionals()[0], "-1");
    EXPECT_EQ(args.positionals()[1], "--json");
    EXPECT_TRUE(Arguments(Words{"-h"}, {}).help());
    EXPECT_TRUE(Arguments(Words{"x", "--help"}, {}).help());
}

TEST(Arguments, UnknownOptionsAndMissingValuesAreRefused) {
    EXPECT_THROW(Arguments(Words{"--bogus"}, {}), UsageError);
    EXPECT_THROW(Arguments(Words{"--bogus=1"}, {}), UsageError);
    EXPECT_THROW(Arguments(Words{"--out"}, {{"--out", true}}), UsageError);
    EXPECT_THROW(Arguments(Words{"--json=1"}, {{"--json", false}}), UsageError);
    EXPECT_THROW(Arguments(Words{"--help=yes"}, {}), UsageError);
}

}  // namespace
}  // namespace zt::client
