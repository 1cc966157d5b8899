// Chooses the keyboard output at start-up from the session the program runs in:
//   TALVO_KEYBOARD=x11|portal|none   forces a choice (tests, or a user who wants no typing);
//   QT_QPA_PLATFORM offscreen/minimal  none: a program without a screen must not type into the
//                                      session it was started from (test runs);
//   XDG_SESSION_TYPE=x11 with DISPLAY  X11;
//   WAYLAND_DISPLAY                    the remote-desktop portal (XTest would reach X clients only);
//   DISPLAY                            X11;
//   otherwise                          none.
// An X display that cannot be opened or lacks XTest gives none, with the reason.
#pragma once

#include "keyboard/keyboard_output.h"

#include <QByteArray>

#include <memory>

namespace talvo::keyboard {

struct KeyboardEnvironment {
    QByteArray forced;          // TALVO_KEYBOARD
    QByteArray qpaPlatform;     // QT_QPA_PLATFORM
    QByteArray sessionType;     // XDG_SESSION_TYPE
    QByteArray display;         // DISPLAY
    QByteArray waylandDisplay;  // WAYLAND_DISPLAY

    [[nodiscard]] static KeyboardEnvironment fromProcess();
};

enum class KeyboardKind { X11, Portal, None };

struct KeyboardChoice {
    KeyboardKind kind = KeyboardKind::None;
    QString reason;           // for None: why
    bool deliberate = false;  // None by choice (forced, no screen): no notice at the first barcode
};

// The decision alone, without opening anything.
[[nodiscard]] KeyboardChoice chooseKeyboard(const KeyboardEnvironment& environment);
// The output itself; never null (a NoKeyboard when nothing can type).
[[nodiscard]] std::unique_ptr<KeyboardOutput> createKeyboardOutput(const KeyboardEnvironment& environment);

}  // namespace talvo::keyboard
