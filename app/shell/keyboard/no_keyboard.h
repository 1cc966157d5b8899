// The output when this session offers no way to type into other applications: it types nothing and
// tells why (the About page shows it; barcodes are still listed).
#pragma once

#include "shell/keyboard/keyboard_output.h"

namespace talvo::keyboard {

class NoKeyboard final : public KeyboardOutput {
public:
    explicit NoKeyboard(QString reason) : reason_(std::move(reason)) {}

    [[nodiscard]] QString description() const override {
        return QStringLiteral("Keyboard output: none (%1)").arg(reason_);
    }
    [[nodiscard]] bool beginBarcode(std::stop_token) override { return false; }
    [[nodiscard]] bool typeKeysym(Keysym, const KeyPacer&) override { return false; }
    [[nodiscard]] QString failureText() const override { return reason_; }

private:
    QString reason_;
};

}  // namespace talvo::keyboard
