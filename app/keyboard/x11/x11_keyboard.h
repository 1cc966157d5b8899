// Typing through the XTest extension of an X server. Each keysym is looked up in the server's current
// keyboard map (XKB, the current group): the key and the shift level that produce it, the modifiers that
// select that level (Shift, AltGr = level 3, ...) pressed around the key. A keysym the map lacks is put on
// a spare keycode (one without symbols) for the barcode and the keycode is emptied again afterwards.
//
// The display connection is opened by open() and then used by the typing worker only.
#pragma once

#include "keyboard/keyboard_output.h"

#include <QByteArray>

#include <map>
#include <memory>
#include <optional>
#include <vector>

struct _XDisplay;
struct _XkbDesc;

namespace talvo::keyboard {

class X11Keyboard final : public KeyboardOutput {
public:
    struct Opened {
        std::unique_ptr<X11Keyboard> keyboard;  // null: see reason
        QString reason;
    };
    // displayName empty: $DISPLAY.
    [[nodiscard]] static Opened open(const QByteArray& displayName);

    ~X11Keyboard() override;

    [[nodiscard]] QString description() const override;
    [[nodiscard]] bool beginBarcode(std::stop_token stop) override;
    [[nodiscard]] bool typeKeysym(Keysym keysym, const KeyPacer& pacer) override;
    void endBarcode(const KeyPacer& pacer) override;
    [[nodiscard]] QString failureText() const override { return failure_; }

    // Time the focused client gets to read its key events before a borrowed keycode is emptied again:
    // clients look a keycode up when they handle the event, so the map must still hold it then.
    static constexpr int kRemapSettleMs = 50;

private:
    struct DisplayCloser {
        void operator()(_XDisplay* display) const;
    };
    struct KeymapFree {
        void operator()(_XkbDesc* keymap) const;
    };
    struct Stroke {
        unsigned keycode = 0;
        unsigned modifiers = 0;  // real modifier mask to hold
    };

    X11Keyboard(std::unique_ptr<_XDisplay, DisplayCloser> display, QByteArray name);

    [[nodiscard]] bool refreshKeymap();
    [[nodiscard]] std::optional<Stroke> findInKeymap(Keysym keysym) const;
    [[nodiscard]] std::optional<unsigned> borrowKeycode(Keysym keysym, const KeyPacer& pacer);
    void giveBackKeycodes(int settleMs);
    [[nodiscard]] bool press(const Stroke& stroke, const KeyPacer& pacer);
    void fakeKey(unsigned keycode, bool pressed, const KeyPacer& pacer);
    [[nodiscard]] bool connectionLost();

    std::unique_ptr<_XDisplay, DisplayCloser> display_;
    QByteArray name_;
    std::unique_ptr<_XkbDesc, KeymapFree> keymap_;
    unsigned group_ = 0;
    unsigned lockedModifiers_ = 0;
    std::vector<unsigned> modifierKeycodes_;  // one keycode per modifier bit 0..7, 0 for none
    std::vector<unsigned> spareKeycodes_;
    std::map<Keysym, unsigned> borrowed_;  // keysym -> spare keycode holding it for this barcode
    QString failure_;
    bool lost_ = false;  // set by Xlib's exit handler when the connection breaks
    std::size_t unmappable_ = 0;
};

}  // namespace talvo::keyboard
