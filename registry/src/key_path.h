// Key paths: backslash-separated names under one of the registry roots.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace zt::registry::detail {

// The names of a path "A\B\C". An empty path has no names; an empty name inside ("A\\B", a leading or
// trailing backslash) makes the path invalid.
[[nodiscard]] std::optional<std::vector<std::string_view>> splitKeyPath(std::string_view path);

// The full name of a registry root, written in full (any letter case) or abbreviated (HKLM, HKCU, HKCR,
// HKU, HKCC); nothing for any other name.
[[nodiscard]] std::optional<std::string_view> canonicalRoot(std::string_view name);

inline constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE";

}  // namespace zt::registry::detail
