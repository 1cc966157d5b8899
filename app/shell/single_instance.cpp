#include "shell/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace talvo {
namespace {

constexpr const char* kShowLine = "show\n";
constexpr const char* kQuitLine = "quit\n";
constexpr const char* kAckLine = "ok\n";
// A client that says nothing is dropped after this long.
constexpr int kClientTimeoutMs = 2000;
// Pause between connection attempts while the primary is still starting.
constexpr auto kRetryPause = std::chrono::milliseconds(50);

bool isPrivateFolder(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

QString userTmpFolder() {
    QByteArray base = qgetenv("TMPDIR");
    if (base.isEmpty()) base = "/tmp";
    const QByteArray path = base + "/talvoscan-" + QByteArray::number(::getuid());
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return {};
    return isPrivateFolder(path) ? QString::fromLocal8Bit(path) : QString();
}

}  // namespace

SingleInstance::SingleInstance(QObject* parent) : QObject(parent), folder_(runtimeFolder()) {}

SingleInstance::~SingleInstance() {
    if (server_ != nullptr) server_->close();  // removes the socket file while the lock is still held
    if (lockFd_ >= 0) ::close(lockFd_);
}

QString SingleInstance::runtimeFolder() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(QString::fromLocal8Bit(runtime)).isDir())
        return QString::fromLocal8Bit(runtime);
    return userTmpFolder();
}

QString SingleInstance::lockPath() const { return folder_ + QStringLiteral("/TalvoScan.lock"); }
QString SingleInstance::socketPath() const { return folder_ + QStringLiteral("/TalvoScan.socket"); }

bool SingleInstance::tryBecomePrimary() {
    if (lockFd_ >= 0) return true;
    if (folder_.isEmpty()) {
        error_ = QStringLiteral("no private runtime folder (set XDG_RUNTIME_DIR)");
        return false;
    }
    const QByteArray path = QFile::encodeName(lockPath());
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = QStringLiteral("cannot open %1: %2").arg(lockPath(), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    lockFd_ = fd;
    return true;
}

bool SingleInstance::listen() {
    if (!isPrimary()) return false;
    // Holding the lock, any socket file there was left by an instance that is gone.
    QLocalServer::removeServer(socketPath());
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (!server_->listen(socketPath())) {
        error_ = server_->errorString();
        return false;
    }
    return true;
}

void SingleInstance::onNewConnection() {
    while (QLocalSocket* client = server_->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] { onClientReadable(client); });
        // A silent client is dropped, so that no connection stays open for ever.
        QTimer::singleShot(kClientTimeoutMs, client, [client] { client->abort(); });
        if (client->bytesAvailable() > 0) onClientReadable(client);
    }
}

void SingleInstance::onClientReadable(QLocalSocket* client) {
    if (!client->canReadLine()) {
        if (client->bytesAvailable() > 64) client->abort();
        return;
    }
    const QByteArray line = client->readLine(64);
    const bool quit = line == kQuitLine;
    if (!quit && line != kShowLine) {
        client->abort();
        return;
    }
    client->write(kAckLine);
    client->flush();
    client->disconnectFromServer();
    if (quit)
        emit quitRequested();
    else
        emit showRequested();
}

bool SingleInstance::sendRequest(InstanceRequest request, std::chrono::milliseconds patience) {
    const QDeadlineTimer deadline(patience.count());
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) {
            socket.write(request == InstanceRequest::Quit ? kQuitLine : kShowLine);
            socket.flush();
            while (!socket.canReadLine() && !deadline.hasExpired()) {
                if (!socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())))) break;
            }
            if (socket.canReadLine() && socket.readLine() == kAckLine) return true;
        }
        if (deadline.hasExpired()) break;
        QThread::msleep(static_cast<unsigned long>(kRetryPause.count()));
    }
    error_ = QStringLiteral("the running TalvoScan did not answer on %1").arg(socketPath());
    return false;
}

}  // namespace talvo
