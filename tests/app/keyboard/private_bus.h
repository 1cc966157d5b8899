// A D-Bus session bus of the test's own (dbus-daemon --session), ended when this goes.
#pragma once

#include <QProcess>
#include <QString>

class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    [[nodiscard]] QString address() const { return address_; }  // empty: it did not start

private:
    QProcess daemon_;
    QString address_;
};
