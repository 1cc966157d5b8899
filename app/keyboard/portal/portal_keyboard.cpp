#include "keyboard/portal/portal_keyboard.h"

#include "keyboard/key_pacer.h"
#include "keyboard/portal/portal_responses.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace talvo::keyboard {
namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kObject = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kRemoteDesktop = QStringLiteral("org.freedesktop.portal.RemoteDesktop");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kSession = QStringLiteral("org.freedesktop.portal.Session");
constexpr uint kDeviceKeyboard = 1;
constexpr uint kKeyReleased = 0;
constexpr uint kKeyPressed = 1;

QString textOfResponse(uint code) {
    return code == 1 ? QStringLiteral("the user declined") : QStringLiteral("the portal ended the request");
}

// session_handle is a string in the documented interface; some portals send an object path.
QString pathOf(const QVariant& value) {
    if (value.canConvert<QDBusObjectPath>() && value.userType() == qMetaTypeId<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

}  // namespace

PortalKeyboard::PortalKeyboard(QString busAddress, std::chrono::milliseconds consentTimeout)
    : busAddress_(std::move(busAddress)),
      connectionName_(QStringLiteral("talvo-keyboard-portal-%1").arg(reinterpret_cast<quintptr>(this))),
      consentTimeout_(consentTimeout),
      responses_(std::make_unique<PortalResponses>()) {
    signalThread_.setObjectName(QStringLiteral("portal signals"));
    responses_->moveToThread(&signalThread_);
}

PortalKeyboard::~PortalKeyboard() {
    if (bus_ && !session_.isEmpty()) {
        // Not awaited: the program is ending, and the portal also ends a session whose caller left the bus.
        (void)bus_->send(QDBusMessage::createMethodCall(kService, session_, kSession, QStringLiteral("Close")));
    }
    signalThread_.quit();
    signalThread_.wait();
    if (bus_ && !busAddress_.isEmpty()) {
        bus_.reset();
        QDBusConnection::disconnectFromBus(connectionName_);
    }
}

QString PortalKeyboard::description() const {
    const std::lock_guard lock(mutex_);
    switch (state_) {
        case State::NotAsked:
            return QStringLiteral("Keyboard output: Wayland remote-desktop portal (asked for at the first barcode)");
        case State::Ready: return QStringLiteral("Keyboard output: Wayland remote-desktop portal");
        case State::Failed: break;
    }
    return QStringLiteral("Keyboard output: none (%1)").arg(failure_);
}

QString PortalKeyboard::failureText() const {
    const std::lock_guard lock(mutex_);
    return failure_;
}

bool PortalKeyboard::fail(const QString& reason) {
    const std::lock_guard lock(mutex_);
    state_ = State::Failed;
    failure_ = reason;
    return false;
}

bool PortalKeyboard::beginBarcode(std::stop_token stop) {
    State state;
    {
        const std::lock_guard lock(mutex_);
        state = state_;
    }
    if (state == State::Ready) return true;
    if (state == State::Failed) return false;
    return startSession(stop);
}

QString PortalKeyboard::requestPath(const QString& token) const {
    // The portal names the Request object after the caller: ":1.42" becomes "1_42".
    QString sender = bus_->baseService().mid(1);
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

void PortalKeyboard::watch(const QString& path, bool on) {
    const char* slot = SLOT(onResponse(QDBusMessage));
    if (on)
        (void)bus_->connect(kService, path, kRequest, QStringLiteral("Response"), responses_.get(), slot);
    else
        (void)bus_->disconnect(kService, path, kRequest, QStringLiteral("Response"), responses_.get(), slot);
}

std::optional<QVariantMap> PortalKeyboard::request(const QString& method, QList<QVariant> arguments,
                                                   QVariantMap options, std::stop_token stop) {
    const QString token = QStringLiteral("talvo%1").arg(++tokenCounter_);
    options.insert(QStringLiteral("handle_token"), token);
    // Watch before calling: the answer may come before the call returns.
    QString path = requestPath(token);
    watch(path, true);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kObject, kRemoteDesktop, method);
    arguments.append(options);
    call.setArguments(arguments);
    const QDBusMessage reply = bus_->call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        watch(path, false);
        fail(QStringLiteral("the remote-desktop portal refused %1: %2").arg(method, reply.errorMessage()));
        return std::nullopt;
    }
    if (const QString given = reply.arguments()[0].value<QDBusObjectPath>().path(); given != path) {
        watch(path, false);  // a portal that ignores handle_token
        path = given;
        watch(path, true);
    }
    const std::optional<PortalResponses::Response> response = responses_->wait(path, stop, consentTimeout_);
    watch(path, false);
    if (!response) {
        if (!stop.stop_requested()) fail(QStringLiteral("the remote-desktop portal did not answer %1").arg(method));
        return std::nullopt;
    }
    if (response->code != 0) {
        fail(QStringLiteral("remote-desktop portal: %1").arg(textOfResponse(response->code)));
        return std::nullopt;
    }
    return response->results;
}

bool PortalKeyboard::startSession(std::stop_token stop) {
    bus_ = busAddress_.isEmpty() ? QDBusConnection::sessionBus()
                                 : QDBusConnection::connectToBus(busAddress_, connectionName_);
    if (!bus_->isConnected()) return fail(QStringLiteral("no D-Bus session bus"));
    if (!signalThread_.isRunning()) signalThread_.start();

    QDBusMessage get = QDBusMessage::createMethodCall(
        kService, kObject, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << kRemoteDesktop << QStringLiteral("AvailableDeviceTypes");
    const QDBusMessage types = bus_->call(get, QDBus::Block, kCallTimeoutMs);
    if (types.type() != QDBusMessage::ReplyMessage || types.arguments().isEmpty())
        return fail(QStringLiteral("no remote-desktop portal (%1)").arg(types.errorMessage()));
    if ((types.arguments()[0].value<QDBusVariant>().variant().toUInt() & kDeviceKeyboard) == 0)
        return fail(QStringLiteral("the remote-desktop portal offers no keyboard"));

    const auto created = request(QStringLiteral("CreateSession"), {},
                                 {{QStringLiteral("session_handle_token"), QStringLiteral("talvo")}}, stop);
    if (!created) return false;
    session_ = pathOf(created->value(QStringLiteral("session_handle")));
    if (session_.isEmpty()) return fail(QStringLiteral("the remote-desktop portal gave no session"));
    const QVariant session = QVariant::fromValue(QDBusObjectPath(session_));
    if (!request(QStringLiteral("SelectDevices"), {session}, {{QStringLiteral("types"), kDeviceKeyboard}}, stop))
        return false;
    const auto started = request(QStringLiteral("Start"), {session, QString()}, {}, stop);
    if (!started) return false;
    const QVariant devices = started->value(QStringLiteral("devices"));
    if (devices.isValid() && (devices.toUInt() & kDeviceKeyboard) == 0)
        return fail(QStringLiteral("remote-desktop portal: the keyboard was not allowed"));
    const std::lock_guard lock(mutex_);
    state_ = State::Ready;
    return true;
}

bool PortalKeyboard::keyEvent(Keysym keysym, bool pressed) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kObject, kRemoteDesktop, QStringLiteral("NotifyKeyboardKeysym"));
    call << QVariant::fromValue(QDBusObjectPath(session_)) << QVariantMap{} << static_cast<int>(keysym)
         << (pressed ? kKeyPressed : kKeyReleased);
    const QDBusMessage reply = bus_->call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) return true;
    return fail(QStringLiteral("the remote-desktop portal stopped taking keys: %1").arg(reply.errorMessage()));
}

bool PortalKeyboard::typeKeysym(Keysym keysym, const KeyPacer& pacer) {
    if (!keyEvent(keysym, true)) return false;
    pacer.afterEvent();
    // A press whose release fails leaves the key held in the compositor; nothing more can be done then.
    if (!keyEvent(keysym, false)) return false;
    pacer.afterEvent();
    return true;
}

}  // namespace talvo::keyboard
