#include "fake_portal.h"

#include <QDBusMessage>
#include <QTimer>

namespace {
const QString kConnection = QStringLiteral("fake-portal");
}

FakePortal::FakePortal(const QString& address) : bus_(QDBusConnection::connectToBus(address, kConnection)) {
    registered_ = bus_.isConnected() &&
                  bus_.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                                      QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties) &&
                  bus_.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
}

FakePortal::~FakePortal() {
    bus_.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    QDBusConnection::disconnectFromBus(kConnection);
}

QDBusObjectPath FakePortal::answer(const QString& method, const QVariantMap& given, QVariantMap results) {
    calls << method;
    options << given;
    QString sender = message().service().mid(1);
    sender.replace(u'.', u'_');
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                             .arg(sender, given.value(QStringLiteral("handle_token")).toString());
    const uint code = method == refuseMethod ? 1u : 0u;
    if (code != 0) results.clear();
    // The Response comes after the call's reply, as from the real portal (which waits for the user).
    QTimer::singleShot(0, this, [this, path, code, results] {
        QDBusMessage response = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.portal.Request"),
                                                           QStringLiteral("Response"));
        response << code << results;
        bus_.send(response);
    });
    return QDBusObjectPath(path);
}

QDBusObjectPath FakePortal::CreateSession(const QVariantMap& given) {
    QString sender = message().service().mid(1);
    sender.replace(u'.', u'_');
    sessionPath_ = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2")
                       .arg(sender, given.value(QStringLiteral("session_handle_token")).toString());
    bus_.registerObject(sessionPath_, &session, QDBusConnection::ExportAllSlots);
    return answer(QStringLiteral("CreateSession"), given, {{QStringLiteral("session_handle"), sessionPath_}});
}

QDBusObjectPath FakePortal::SelectDevices(const QDBusObjectPath& s, const QVariantMap& given) {
    sessionsSeen << s.path();
    return answer(QStringLiteral("SelectDevices"), given, {});
}

QDBusObjectPath FakePortal::Start(const QDBusObjectPath& s, const QString&, const QVariantMap& given) {
    sessionsSeen << s.path();
    return answer(QStringLiteral("Start"), given, {{QStringLiteral("devices"), 1u}});
}

void FakePortal::NotifyKeyboardKeysym(const QDBusObjectPath& s, const QVariantMap&, int keysym, uint state) {
    sessionsSeen << s.path();
    if (failKeyEventsAfter >= 0 && static_cast<int>(keyEvents.size()) >= failKeyEventsAfter) {
        sendErrorReply(QDBusError::AccessDenied, QStringLiteral("session closed"));
        return;
    }
    keyEvents.emplace_back(keysym, state);
}
