// Helpers for tests that build a hive from .reg text.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "zt/registry/registry.h"

namespace zt::test {

using registry::RegistryHive;
using registry::RegistryIssue;

inline RegistryHive parseHive(std::string_view text, std::vector<RegistryIssue>* issues = nullptr) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return RegistryHive::fromBytes(std::span(bytes, text.size()), issues);
}

// ASCII text as the registry stores a string: UTF-16LE with a NUL unit.
inline std::vector<std::uint8_t> regString(std::string_view ascii) {
    std::vector<std::uint8_t> out;
    for (char c : ascii) out.insert(out.end(), {static_cast<std::uint8_t>(c), 0});
    out.insert(out.end(), {0, 0});
    return out;
}

inline std::vector<std::size_t> issueLines(const std::vector<RegistryIssue>& issues) {
    std::vector<std::size_t> lines;
    for (const auto& issue : issues) lines.push_back(issue.line);
    return lines;
}

}  // namespace zt::test
