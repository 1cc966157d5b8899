// A private Xvfb for one test: started on a free display number (Xvfb picks it, -displayfd), ended and
// reaped when this goes.
#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

class XvfbServer {
public:
    XvfbServer();
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    [[nodiscard]] bool running() const { return !display_.isEmpty(); }
    [[nodiscard]] QByteArray display() const { return display_; }  // ":N"
    [[nodiscard]] QString error() const { return error_; }

    // Empty when the program is not installed.
    [[nodiscard]] static QString program();

private:
    pid_t pid_ = -1;
    QByteArray display_;
    QString error_;
};
