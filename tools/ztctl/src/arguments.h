// The words after a subcommand: options ("--name", "--name VALUE" or "--name=VALUE"; "-h" for --help)
// anywhere among the positional words; "--" ends the options. Words that start with a single '-' (such
// as -1) are positional, so that an out-of-range number is reported as such.
#pragma once

#include <initializer_list>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ztctl {

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
    [[nodiscard]] std::optional<std::string_view> value(std::string_view name) const;
    [[nodiscard]] std::span<const std::string_view> positionals() const { return positionals_; }

private:
    std::map<std::string, std::string_view, std::less<>> given_;
    std::vector<std::string_view> positionals_;
};

}  // namespace ztctl
