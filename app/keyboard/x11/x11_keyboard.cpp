#include "keyboard/x11/x11_keyboard.h"

#include "keyboard/key_pacer.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <array>
#include <thread>

namespace talvo::keyboard {
namespace {

constexpr int kModifierBits = 8;

// Xlib ends the process when the connection breaks unless the display has an exit handler that
// returns; this one only marks the display as gone, so typing reports it and the program goes on.
void markConnectionLost(Display*, void* lost) { *static_cast<bool*>(lost) = true; }

void ignoreConnectionLost(Display*, void*) {}

}  // namespace

void X11Keyboard::DisplayCloser::operator()(_XDisplay* display) const { XCloseDisplay(display); }
void X11Keyboard::KeymapFree::operator()(_XkbDesc* keymap) const { XkbFreeKeyboard(keymap, 0, True); }

X11Keyboard::Opened X11Keyboard::open(const QByteArray& displayName) {
    // The worker uses this connection while the user-interface thread may use Xlib for its own (libX11
    // from 1.8 does this by itself; older ones need it before the first display is opened).
    XInitThreads();
    const QString shown = displayName.isEmpty() ? QStringLiteral("$DISPLAY") : QString::fromLocal8Bit(displayName);
    std::unique_ptr<_XDisplay, DisplayCloser> display(
        XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData()));
    if (!display) return {nullptr, QStringLiteral("cannot open the X display %1").arg(shown)};
    int event = 0, error = 0, major = 0, minor = 0, opcode = 0;
    if (!XTestQueryExtension(display.get(), &event, &error, &major, &minor))
        return {nullptr, QStringLiteral("the X display %1 has no XTest extension").arg(shown)};
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(display.get(), &opcode, &event, &error, &major, &minor))
        return {nullptr, QStringLiteral("the X display %1 has no XKB extension").arg(shown)};
    QByteArray name(DisplayString(display.get()));
    return {std::unique_ptr<X11Keyboard>(new X11Keyboard(std::move(display), std::move(name))), {}};
}

X11Keyboard::X11Keyboard(std::unique_ptr<_XDisplay, DisplayCloser> display, QByteArray name)
    : display_(std::move(display)), name_(std::move(name)) {
    XSetIOErrorExitHandler(display_.get(), markConnectionLost, &lost_);
}

X11Keyboard::~X11Keyboard() {
    giveBackKeycodes(0);
    // Closing may meet a dead connection; lost_ is about to go.
    XSetIOErrorExitHandler(display_.get(), ignoreConnectionLost, nullptr);
}

QString X11Keyboard::description() const {
    return QStringLiteral("Keyboard output: X11 (XTest) on display %1").arg(QString::fromLocal8Bit(name_));
}

bool X11Keyboard::connectionLost() {
    if (lost_ && failure_.isEmpty())
        failure_ = QStringLiteral("the connection to the X display %1 was lost").arg(QString::fromLocal8Bit(name_));
    return lost_;
}

bool X11Keyboard::beginBarcode(std::stop_token) {
    if (connectionLost()) return false;
    // Our own connection receives every MappingNotify; nobody reads them, so drop them here.
    while (XPending(display_.get()) > 0) {
        XEvent event;
        XNextEvent(display_.get(), &event);
    }
    return refreshKeymap() && !connectionLost();
}

bool X11Keyboard::refreshKeymap() {
    Display* display = display_.get();
    keymap_.reset(XkbGetMap(display, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd));
    if (!keymap_) {
        failure_ = QStringLiteral("the X display %1 gave no keyboard map").arg(QString::fromLocal8Bit(name_));
        return false;
    }
    XkbStateRec state{};
    XkbGetState(display, XkbUseCoreKbd, &state);
    group_ = state.group;
    lockedModifiers_ = state.locked_mods;

    modifierKeycodes_.assign(kModifierBits, 0);
    if (XModifierKeymap* modifiers = XGetModifierMapping(display)) {
        for (int bit = 0; bit < kModifierBits; ++bit) {
            for (int i = 0; i < modifiers->max_keypermod; ++i) {
                const KeyCode keycode = modifiers->modifiermap[bit * modifiers->max_keypermod + i];
                if (keycode != 0) {
                    modifierKeycodes_[static_cast<std::size_t>(bit)] = keycode;
                    break;
                }
            }
        }
        XFreeModifiermap(modifiers);
    }
    if (!borrowed_.empty()) return true;  // the spare list stays as it was while keycodes are lent out
    spareKeycodes_.clear();
    for (unsigned keycode = keymap_->min_key_code; keycode <= keymap_->max_key_code; ++keycode) {
        if (XkbKeyNumSyms(keymap_.get(), keycode) == 0) spareKeycodes_.push_back(keycode);
    }
    return true;
}

std::optional<X11Keyboard::Stroke> X11Keyboard::findInKeymap(Keysym keysym) const {
    XkbDescPtr keymap = keymap_.get();
    auto pressable = [&](unsigned mask) {
        if ((mask & LockMask) != 0) return false;  // never touch Caps Lock
        for (int bit = 0; bit < kModifierBits; ++bit) {
            if ((mask & (1u << bit)) != 0 && modifierKeycodes_[static_cast<std::size_t>(bit)] == 0) return false;
        }
        return true;
    };
    // What a client reads from the key with these modifiers held on top of the locked ones: the level's
    // keysym, upper-cased when Caps Lock is on and the key's type does not use it (Xlib's rule).
    auto gives = [&](unsigned keycode, unsigned mask, unsigned group) {
        unsigned consumed = 0;
        KeySym result = NoSymbol;
        const unsigned mods = mask | lockedModifiers_;
        if (!XkbTranslateKeyCode(keymap, static_cast<KeyCode>(keycode), XkbBuildCoreState(mods, group), &consumed,
                                 &result))
            return false;
        if ((mods & LockMask) != 0 && (consumed & LockMask) == 0) {
            KeySym lower = NoSymbol, upper = NoSymbol;
            XConvertCase(result, &lower, &upper);
            result = upper;
        }
        return result == keysym;
    };
    for (unsigned keycode = keymap->min_key_code; keycode <= keymap->max_key_code; ++keycode) {
        const unsigned groups = XkbKeyNumGroups(keymap, keycode);
        if (groups == 0) continue;
        const unsigned group = group_ < groups ? group_ : 0;
        const XkbKeyTypePtr type = XkbKeyKeyType(keymap, keycode, group);
        bool onKey = false;
        for (unsigned level = 0; level < type->num_levels && !onKey; ++level)
            onKey = XkbKeySymEntry(keymap, keycode, level, group) == keysym;
        if (!onKey && !(lockedModifiers_ & LockMask)) continue;
        // Candidates: nothing, each level's modifiers, and each with Shift added (Shift undoes Caps Lock on
        // letter keys).
        std::vector<unsigned> masks{0, ShiftMask};
        for (unsigned i = 0; i < type->map_count; ++i) {
            if (!type->map[i].active) continue;
            masks.push_back(type->map[i].mods.mask);
            masks.push_back(type->map[i].mods.mask | ShiftMask);
        }
        for (const unsigned mask : masks) {
            if (pressable(mask) && gives(keycode, mask, group)) return Stroke{keycode, mask};
        }
    }
    return std::nullopt;
}

std::optional<unsigned> X11Keyboard::borrowKeycode(Keysym keysym, const KeyPacer& pacer) {
    if (const auto it = borrowed_.find(keysym); it != borrowed_.end()) return it->second;
    if (spareKeycodes_.empty()) return std::nullopt;
    if (borrowed_.size() == spareKeycodes_.size()) giveBackKeycodes(kRemapSettleMs);
    const unsigned keycode = spareKeycodes_[borrowed_.size()];
    // Lower and upper case on the two levels (the keysym twice where it has no case): the server gives
    // such a key the type that Caps Lock and Shift act on as on any letter key.
    std::array<KeySym, 2> symbols{};
    XConvertCase(keysym, &symbols[0], &symbols[1]);
    XChangeKeyboardMapping(display_.get(), static_cast<int>(keycode), 2, symbols.data(), 1);
    XSync(display_.get(), False);
    pacer.afterEvent();
    borrowed_.emplace(keysym, keycode);
    return keycode;
}

void X11Keyboard::giveBackKeycodes(int settleMs) {
    if (borrowed_.empty() || lost_) return;
    XSync(display_.get(), False);
    if (settleMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    std::array<KeySym, 2> none{NoSymbol, NoSymbol};
    for (const auto& [keysym, keycode] : borrowed_)
        XChangeKeyboardMapping(display_.get(), static_cast<int>(keycode), 2, none.data(), 1);
    XSync(display_.get(), False);
    borrowed_.clear();
}

void X11Keyboard::fakeKey(unsigned keycode, bool pressed, const KeyPacer& pacer) {
    XTestFakeKeyEvent(display_.get(), keycode, pressed ? True : False, CurrentTime);
    XFlush(display_.get());
    pacer.afterEvent();
}

bool X11Keyboard::press(const Stroke& stroke, const KeyPacer& pacer) {
    for (int bit = 0; bit < kModifierBits; ++bit) {
        if ((stroke.modifiers & (1u << bit)) != 0)
            fakeKey(modifierKeycodes_[static_cast<std::size_t>(bit)], true, pacer);
    }
    fakeKey(stroke.keycode, true, pacer);
    fakeKey(stroke.keycode, false, pacer);
    for (int bit = kModifierBits - 1; bit >= 0; --bit) {
        if ((stroke.modifiers & (1u << bit)) != 0)
            fakeKey(modifierKeycodes_[static_cast<std::size_t>(bit)], false, pacer);
    }
    return !connectionLost();
}

bool X11Keyboard::typeKeysym(Keysym keysym, const KeyPacer& pacer) {
    if (connectionLost() || !keymap_) return false;
    if (const std::optional<Stroke> stroke = findInKeymap(keysym)) return press(*stroke, pacer);
    const std::optional<unsigned> keycode = borrowKeycode(keysym, pacer);
    if (!keycode) {
        ++unmappable_;  // a keyboard map without a single empty keycode: nothing can type it
        return !connectionLost();
    }
    // Read the borrowed key back to learn the modifiers that give the keysym (Caps Lock, case).
    if (!refreshKeymap()) return false;
    return press(findInKeymap(keysym).value_or(Stroke{*keycode, 0}), pacer);
}

void X11Keyboard::endBarcode(const KeyPacer&) {
    giveBackKeycodes(kRemapSettleMs);
    if (!lost_) XSync(display_.get(), False);
}

}  // namespace talvo::keyboard
