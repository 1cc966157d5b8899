#include "xvfb_server.h"

#include <QStandardPaths>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

QString XvfbServer::program() { return QStandardPaths::findExecutable(QStringLiteral("Xvfb")); }

XvfbServer::XvfbServer() {
    const QByteArray path = program().toLocal8Bit();
    if (path.isEmpty()) {
        error_ = QStringLiteral("Xvfb is not installed");
        return;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error_ = QStringLiteral("pipe failed");
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        const int writeEnd = ::dup(fds[1]);  // without O_CLOEXEC: Xvfb writes its display number here
        const std::string fd = std::to_string(writeEnd);
        ::execl(path.constData(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten", "tcp",
                "-noreset", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    // Xvfb writes the number once it accepts clients.
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    while (::poll(&wait, 1, 10000) > 0) {
        char c = 0;
        if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
        number.push_back(c);
    }
    ::close(fds[0]);
    if (number.empty())
        error_ = QStringLiteral("Xvfb did not start within 10 s");
    else
        display_ = QByteArray(":") + QByteArray::fromStdString(number);
}

XvfbServer::~XvfbServer() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}
