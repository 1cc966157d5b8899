// The seam between the typing worker and the platform's way of injecting key presses into the
// application that has the keyboard focus. One implementation per platform (X11 through XTest, the
// Wayland remote-desktop portal) and one that types nothing (with the reason); the tests add one that
// records.
#pragma once

#include <QString>

#include <cstdint>
#include <stop_token>

namespace talvo::keyboard {

using Keysym = std::uint32_t;

class KeyPacer;

class KeyboardOutput {
public:
    KeyboardOutput() = default;
    KeyboardOutput(const KeyboardOutput&) = delete;
    KeyboardOutput& operator=(const KeyboardOutput&) = delete;
    virtual ~KeyboardOutput() = default;

    // One line for the About page: which output is in use, or why there is none. Any thread.
    [[nodiscard]] virtual QString description() const = 0;

    // Called on the typing worker before each barcode. A backend sets up what it needs on first use
    // here (the portal's session, which may wait for the user's consent until `stop`). False: it cannot
    // type now; failureText() says why.
    [[nodiscard]] virtual bool beginBarcode(std::stop_token stop) = 0;

    // Presses and releases one keysym, with the modifiers it needs around it; every event is followed by
    // a pause from `pacer`. False: the backend broke down; failureText() says why.
    [[nodiscard]] virtual bool typeKeysym(Keysym keysym, const KeyPacer& pacer) = 0;

    // After the last key of a barcode (X11 gives back the keycodes it borrowed).
    virtual void endBarcode(const KeyPacer& pacer) { (void)pacer; }

    // Why the last beginBarcode() or typeKeysym() failed; empty when the user need not be told.
    [[nodiscard]] virtual QString failureText() const = 0;
};

}  // namespace talvo::keyboard
