// The display form of scanner text on a terminal (barcode data, names, prefix and suffix): tab, line feed, carriage
// return and backslash become \t, \n, \r and \\, as the scanner pages show them. So that no raw control
// byte reaches a terminal, every other control byte (below 0x20, 0x7F, and the C1 controls U+0080 to
// U+009F) and every byte that is not part of valid UTF-8 becomes \xNN (two lower-case hex digits). The
// form is reversible: a literal backslash is always doubled.
#pragma once

#include <string>
#include <string_view>

namespace zt::client {

[[nodiscard]] std::string displayForm(std::string_view bytes);

// The form of the program's lists: only tab, line feed, carriage return and backslash are written out
// (\t, \n, \r, \\); every other character, control characters and zero bytes too, stays as it is. For
// decoded text that a widget draws, not for a terminal.
[[nodiscard]] std::string listForm(std::string_view text);

}  // namespace zt::client
