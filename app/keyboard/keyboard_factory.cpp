#include "keyboard/keyboard_factory.h"

#include "keyboard/no_keyboard.h"
#include "keyboard/portal/portal_keyboard.h"
#include "keyboard/x11/x11_keyboard.h"

#include <QtGlobal>

namespace talvo::keyboard {

KeyboardEnvironment KeyboardEnvironment::fromProcess() {
    return {qgetenv("TALVO_KEYBOARD"), qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"), qgetenv("DISPLAY"),
            qgetenv("WAYLAND_DISPLAY")};
}

KeyboardChoice chooseKeyboard(const KeyboardEnvironment& env) {
    if (!env.forced.isEmpty()) {
        if (env.forced == "x11") return {KeyboardKind::X11, {}};
        if (env.forced == "portal") return {KeyboardKind::Portal, {}};
        if (env.forced == "none")
            return {KeyboardKind::None, QStringLiteral("switched off by TALVO_KEYBOARD=none"), true};
        return {KeyboardKind::None,
                QStringLiteral("TALVO_KEYBOARD=%1 is not x11, portal or none").arg(QString::fromLocal8Bit(env.forced))};
    }
    const QByteArray platform = env.qpaPlatform.split(':').value(0);
    if (platform == "offscreen" || platform == "minimal")
        return {KeyboardKind::None,
                QStringLiteral("the program runs on the %1 platform").arg(QString::fromLocal8Bit(platform)), true};
    if (env.sessionType == "x11" && !env.display.isEmpty()) return {KeyboardKind::X11, {}};
    if (!env.waylandDisplay.isEmpty()) return {KeyboardKind::Portal, {}};
    if (!env.display.isEmpty()) return {KeyboardKind::X11, {}};
    return {KeyboardKind::None, QStringLiteral("no X display and no Wayland session")};
}

std::unique_ptr<KeyboardOutput> createKeyboardOutput(const KeyboardEnvironment& env) {
    const KeyboardChoice choice = chooseKeyboard(env);
    switch (choice.kind) {
        case KeyboardKind::X11: {
            X11Keyboard::Opened opened = X11Keyboard::open(env.display);
            if (opened.keyboard) return std::move(opened.keyboard);
            return std::make_unique<NoKeyboard>(opened.reason);
        }
        case KeyboardKind::Portal: return std::make_unique<PortalKeyboard>();
        case KeyboardKind::None: break;
    }
    return std::make_unique<NoKeyboard>(choice.reason, choice.deliberate);
}

}  // namespace talvo::keyboard
