// From the text of a barcode to the keysyms that type it. Tab is the Tab key, a carriage return the
// Return key, a line feed the Linefeed keysym; every other printable character is its own keysym.
// Other control characters (ESC, the GS of GS1 codes, ...) are not typed: no key types them as text,
// and pressing Escape or Backspace in the user's application on behalf of a barcode would do harm.
#pragma once

#include "keyboard/keyboard_output.h"

#include <QString>

#include <vector>

namespace talvo::keyboard {

inline constexpr Keysym kKeysymNone = 0;

// The keysym of one character, kKeysymNone when it is not typed.
[[nodiscard]] Keysym keysymForCharacter(char32_t c);
// The keysyms of a whole text, in order, untyped characters left out.
[[nodiscard]] std::vector<Keysym> keysymsForText(const QString& text);
// The character a keysym types, U+0000 for none (used by the recording backend and the tests).
[[nodiscard]] char32_t characterForKeysym(Keysym keysym);

}  // namespace talvo::keyboard
