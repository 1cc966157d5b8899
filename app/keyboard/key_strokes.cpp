#include "keyboard/key_strokes.h"

#include <QList>

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

namespace talvo::keyboard {
namespace {

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7f && c <= 0x9f); }
bool isSurrogate(char32_t c) { return c >= 0xd800 && c <= 0xdfff; }

}  // namespace

Keysym keysymForCharacter(char32_t c) {
    switch (c) {
        case U'\t': return XKB_KEY_Tab;
        case U'\r': return XKB_KEY_Return;
        case U'\n': return XKB_KEY_Linefeed;
        default: break;
    }
    if (isControl(c) || isSurrogate(c) || c > 0x10ffff) return kKeysymNone;
    return xkb_utf32_to_keysym(c);
}

std::vector<Keysym> keysymsForText(const QString& text) {
    std::vector<Keysym> keysyms;
    keysyms.reserve(static_cast<std::size_t>(text.size()));
    for (const char32_t c : text.toUcs4()) {
        if (const Keysym keysym = keysymForCharacter(c); keysym != kKeysymNone) keysyms.push_back(keysym);
    }
    return keysyms;
}

char32_t characterForKeysym(Keysym keysym) {
    switch (keysym) {
        case XKB_KEY_Tab: return U'\t';
        case XKB_KEY_Return: return U'\r';
        case XKB_KEY_Linefeed: return U'\n';
        default: return xkb_keysym_to_utf32(keysym);
    }
}

}  // namespace talvo::keyboard
