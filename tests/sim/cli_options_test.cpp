#include "cli_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>
#include <vector>

namespace zt::sim::cli {
namespace {

Options parse(std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> list(args);
    return parseOptions(list);
}

TEST(CliOptions, AcceptsRepeatedPortsListsAndInlineValues) {
    const auto options = parse(
        {"--dir", "/tmp/p", "--port", "5", "--ports=6,7", "--baud", "9600", "--records", "20", "--control=/tmp/p/ctl"});
    EXPECT_EQ(options.dir, "/tmp/p");
    EXPECT_EQ(options.ports, (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(options.baud, 9600U);
    EXPECT_EQ(options.records, 20U);
    EXPECT_EQ(options.control, "/tmp/p/ctl");
    EXPECT_FALSE(options.help);

    EXPECT_EQ(parse({"--ports", "6,7", "--dir", "d", "--port=5"}).ports, (std::vector<int>{6, 7, 5}));  // as given
    EXPECT_TRUE(parse({"--help"}).help);
    const auto plain = parse({"--dir=d", "--ports", "9"});
    EXPECT_EQ(plain.baud, 0U);
    EXPECT_EQ(plain.records, 0U);
    EXPECT_TRUE(plain.control.empty());
}

TEST(CliOptions, RejectsWhatMakesNoSense) {
    for (const auto& args : std::vector<std::vector<std::string_view>>{
             {"--port", "5"},                 // no folder
             {"--dir", "d"},                  // no port
             {"--dir", "d", "--port"},        // value missing
             {"--dir", "d", "--port", "5x"},  // not a number
             {"--dir", "d", "--port", "0"},   // ports start at 1
             {"--dir", "d", "--port", "-3"},
             {"--dir", "d", "--ports", "5,,6"},  // empty list entry
             {"--dir", "d", "--ports", "5,5"},   // twice
             {"--dir", "d", "--port", "5", "--baud", "fast"},
             {"--dir", "d", "--port", "5", "--verbose"},
             {"--dir", "d", "--port", "5", "--records", "-1"},
             {"--dir", "d", "--port", "5", "--records", "1000001"},
             {"--dir", "d", "--port", "5", "--control="},
             {"--dir", "d", "--port", "5", "extra"},  // no positional words
         }) {
        EXPECT_THROW(static_cast<void>(parseOptions(args)), std::invalid_argument) << args.back();
    }
}

}  // namespace
}  // namespace zt::sim::cli
