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
    const auto options = parse({"--dir", "/tmp/p", "--port", "5", "--ports=6,7", "--baud", "9600"});
    EXPECT_EQ(options.dir, "/tmp/p");
    EXPECT_EQ(options.ports, (std::vector<int>{5, 6, 7}));
    EXPECT_EQ(options.baud, 9600U);
    EXPECT_FALSE(options.help);

    EXPECT_TRUE(parse({"--help"}).help);
    EXPECT_EQ(parse({"--dir=d", "--ports", "9"}).baud, 0U);
}

TEST(CliOptions, RejectsWhatMakesNoSense) {
    for (const auto& args : std::vector<std::vector<std::string_view>>{
             {"--port", "5"},                          // no folder
             {"--dir", "d"},                           // no port
             {"--dir", "d", "--port"},                 // value missing
             {"--dir", "d", "--port", "5x"},           // not a number
             {"--dir", "d", "--port", "0"},            // ports start at 1
             {"--dir", "d", "--port", "-3"},
             {"--dir", "d", "--ports", "5,,6"},        // empty list entry
             {"--dir", "d", "--ports", "5,5"},         // twice
             {"--dir", "d", "--port", "5", "--baud", "fast"},
             {"--dir", "d", "--port", "5", "--verbose"},
         }) {
        EXPECT_THROW(static_cast<void>(parseOptions(args)), std::invalid_argument) << args.back();
    }
}

}  // namespace
}  // namespace zt::sim::cli
