// Registry names compare without regard to letter case, as the registry does; names keep the case they
// were written with, and lookups go through a folded copy.
#pragma once

#include <string>
#include <string_view>

namespace zt::registry::detail {

// The upper-case form of a name: ASCII, Latin-1, Greek and Cyrillic letters are folded, which covers
// the names that Bluetooth stacks and device maps write.
[[nodiscard]] std::string foldName(std::string_view utf8);

}  // namespace zt::registry::detail
