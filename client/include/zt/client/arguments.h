// The command line of the project's programs: options ("--name", "--name VALUE" or "--name=VALUE"; "-h"
// for --help) anywhere among the positional words; "--" ends the options. Words that start with a
// single '-' (such as -1) are positional, so that an out-of-range number is reported as such.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zt::client {

// A mistake on the command line; the programs report it with a hint to --help and exit status 2.
struct UsageError : std::invalid_argument {
    using std::invalid_argument::invalid_argument;
};

struct KnownOption {
    std::string_view name;  // with the dashes: "--out"
    bool takesValue = false;
};

class Arguments {
public:
    // Throws UsageError for an unknown option or an option without its value. --help is always known.
    Arguments(std::span<const std::string_view> words, std::initializer_list<KnownOption> options);

    [[nodiscard]] bool help() const { return has("--help"); }
    [[nodiscard]] bool has(std::string_view name) const;
    // The value of the option's last occurrence.
    [[nodiscard]] std::optional<std::string_view> value(std::string_view name) const;
    // Every value of an option that may be given more than once, in command-line order.
    [[nodiscard]] std::vector<std::string_view> values(std::string_view name) const;
    [[nodiscard]] std::span<const std::string_view> positionals() const { return positionals_; }
    // Every option given, as (name, value) in command-line order; the value is empty for a flag.
    [[nodiscard]] std::span<const std::pair<std::string_view, std::string_view>> given() const { return given_; }

private:
    std::vector<std::pair<std::string_view, std::string_view>> given_;
    std::vector<std::string_view> positionals_;
};

}  // namespace zt::client
