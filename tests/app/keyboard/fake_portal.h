// A remote-desktop portal of the test's own on a private bus: answers CreateSession, SelectDevices and
// Start through Request objects and their Response signals as the real portal does, records every call
// and key event, and refuses or fails where a test asks it to.
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <utility>
#include <vector>

class FakePortalSession : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

public:
    int closed = 0;

public Q_SLOTS:
    void Close() { ++closed; }
};

class FakePortal : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.RemoteDesktop")
    Q_PROPERTY(uint AvailableDeviceTypes READ availableDeviceTypes)
    Q_PROPERTY(uint version READ version)

public:
    // Registers org.freedesktop.portal.Desktop on the bus at `address`.
    explicit FakePortal(const QString& address);
    ~FakePortal() override;

    [[nodiscard]] bool registered() const { return registered_; }
    [[nodiscard]] uint availableDeviceTypes() const { return deviceTypes; }
    [[nodiscard]] uint version() const { return 2; }

    // What the test may change.
    uint deviceTypes = 7;
    QString refuseMethod;         // this request is answered with response 1 (the user declined)
    int failKeyEventsAfter = -1;  // NotifyKeyboardKeysym fails from this call on

    // What it saw.
    QStringList calls;
    QList<QVariantMap> options;
    QStringList sessionsSeen;  // session argument of every call after CreateSession
    std::vector<std::pair<int, uint>> keyEvents;
    FakePortalSession session;

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap& options);
    QDBusObjectPath SelectDevices(const QDBusObjectPath& session, const QVariantMap& options);
    QDBusObjectPath Start(const QDBusObjectPath& session, const QString& parentWindow, const QVariantMap& options);
    void NotifyKeyboardKeysym(const QDBusObjectPath& session, const QVariantMap& options, int keysym, uint state);

private:
    QDBusObjectPath answer(const QString& method, const QVariantMap& options, QVariantMap results);

    QDBusConnection bus_;
    bool registered_ = false;
    QString sessionPath_;
};
