// Typing on Wayland through the remote-desktop portal (org.freedesktop.portal.RemoteDesktop on the
// session bus). One keyboard-only session serves the program's whole run; it is asked for when the first
// barcode is to be typed, so the desktop's consent dialog appears once, when it means something. Every
// key is a NotifyKeyboardKeysym press and release, each call answered before the next is made, so the
// compositor sees them in order.
//
// When the portal is missing, refuses, or stops taking keys, failureText() says so; the typing worker
// reports it once and this output is not asked again in the run.
#pragma once

#include "keyboard/keyboard_output.h"

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QThread>
#include <QVariant>
#include <QVariantMap>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>

namespace talvo::keyboard {

class PortalResponses;

class PortalKeyboard final : public KeyboardOutput {
public:
    // How long the user may think about the consent dialog before it counts as a refusal.
    static constexpr std::chrono::milliseconds kConsentTimeout{std::chrono::minutes(2)};
    // A plain call (Notify..., the property read) that takes longer than this has failed.
    static constexpr int kCallTimeoutMs = 5000;

    // busAddress empty: the session bus.
    explicit PortalKeyboard(QString busAddress = {}, std::chrono::milliseconds consentTimeout = kConsentTimeout);
    ~PortalKeyboard() override;

    [[nodiscard]] QString description() const override;
    [[nodiscard]] bool beginBarcode(std::stop_token stop) override;
    [[nodiscard]] bool typeKeysym(Keysym keysym, const KeyPacer& pacer) override;
    [[nodiscard]] QString failureText() const override;

private:
    enum class State { NotAsked, Ready, Failed };

    [[nodiscard]] bool startSession(std::stop_token stop);
    [[nodiscard]] std::optional<QVariantMap> request(const QString& method, QList<QVariant> arguments,
                                                     QVariantMap options, std::stop_token stop);
    [[nodiscard]] bool keyEvent(Keysym keysym, bool pressed);
    [[nodiscard]] QString requestPath(const QString& token) const;
    bool fail(const QString& reason);
    void watch(const QString& path, bool on);

    QString busAddress_;
    QString connectionName_;
    std::chrono::milliseconds consentTimeout_;
    std::optional<QDBusConnection> bus_;
    QThread signalThread_;
    std::unique_ptr<PortalResponses> responses_;
    QString session_;
    unsigned tokenCounter_ = 0;

    mutable std::mutex mutex_;  // state_ and failure_, read by description() on other threads
    State state_ = State::NotAsked;
    QString failure_;
};

}  // namespace talvo::keyboard
