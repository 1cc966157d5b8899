#include "zt/client/arguments.h"

#include <algorithm>

namespace zt::client {
namespace {

const KnownOption* findOption(const std::vector<KnownOption>& options, std::string_view name) {
    const auto found = std::ranges::find(options, name, &KnownOption::name);
    return found == options.end() ? nullptr : &*found;
}

}  // namespace

Arguments::Arguments(std::span<const std::string_view> words, std::initializer_list<KnownOption> options) {
    std::vector<KnownOption> known(options);
    known.push_back({"--help", false});
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string_view word = words[i];
        if (optionsEnded || !(word.starts_with("--") || word == "-h")) {
            positionals_.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        if (word == "-h") word = "--help";
        std::optional<std::string_view> inlineValue;
        if (const auto equals = word.find('='); equals != std::string_view::npos) {
            inlineValue = word.substr(equals + 1);
            word = word.substr(0, equals);
        }
        const auto* option = findOption(known, word);
        if (option == nullptr) throw UsageError("unknown option '" + std::string(word) + "'");
        std::string_view value;
        if (option->takesValue) {
            if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < words.size()) {
                value = words[++i];
            } else {
                throw UsageError(std::string(word) + " needs a value");
            }
        } else if (inlineValue) {
            throw UsageError(std::string(word) + " takes no value");
        }
        given_.emplace_back(word, value);
    }
}

bool Arguments::has(std::string_view name) const {
    return std::ranges::find(given_, name, &std::pair<std::string_view, std::string_view>::first) != given_.end();
}

std::optional<std::string_view> Arguments::value(std::string_view name) const {
    std::optional<std::string_view> last;
    for (const auto& [given, value] : given_) {
        if (given == name) last = value;
    }
    return last;
}

std::vector<std::string_view> Arguments::values(std::string_view name) const {
    std::vector<std::string_view> all;
    for (const auto& [given, value] : given_) {
        if (given == name) all.push_back(value);
    }
    return all;
}

}  // namespace zt::client
