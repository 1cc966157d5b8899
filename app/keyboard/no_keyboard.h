// The output when this session offers no way to type into other applications: it types nothing and
// tells why (the About page shows it; barcodes are still listed). A deliberate choice (forced off, or a
// program without a screen) is not worth a notice at the first barcode: its failure text is empty.
#pragma once

#include "keyboard/keyboard_output.h"

namespace talvo::keyboard {

class NoKeyboard final : public KeyboardOutput {
public:
    explicit NoKeyboard(QString reason, bool deliberate = false)
        : reason_(std::move(reason)), deliberate_(deliberate) {}

    [[nodiscard]] QString description() const override {
        return QStringLiteral("Keyboard output: none (%1)").arg(reason_);
    }
    [[nodiscard]] bool beginBarcode(std::stop_token) override { return false; }
    [[nodiscard]] bool typeKeysym(Keysym, const KeyPacer&) override { return false; }
    [[nodiscard]] QString failureText() const override { return deliberate_ ? QString() : reason_; }

private:
    QString reason_;
    bool deliberate_;
};

}  // namespace talvo::keyboard
