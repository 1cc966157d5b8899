// One running TalvoScan per user. The first start takes an exclusive lock on a file in the user's
// runtime folder and, holding it, listens on a local socket beside it (owner only). A later start
// finds the lock taken, connects to the socket, asks the running instance to show itself (or to end)
// and ends. Only the lock holder removes a socket file, so a socket left by a killed instance never
// blocks a start, and the lock makes two starts at the same moment elect exactly one instance.
//
// Folder: $XDG_RUNTIME_DIR when it is set and is a folder; else "talvoscan-<uid>" in $TMPDIR (or /tmp),
// created with mode 0700 and used only when it belongs to this user.
#pragma once

#include <QObject>
#include <QString>

#include <chrono>

class QLocalServer;
class QLocalSocket;

namespace talvo {

enum class InstanceRequest { Show, Quit };

class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // The folder of the lock and the socket, or empty when no private folder can be had.
    [[nodiscard]] static QString runtimeFolder();

    // Tries to become the primary instance (takes the lock). Works without a Qt application object.
    [[nodiscard]] bool tryBecomePrimary();
    [[nodiscard]] bool isPrimary() const { return lockFd_ >= 0; }
    // False when no private folder could be had: then no instance can be elected.
    [[nodiscard]] bool hasFolder() const { return !folder_.isEmpty(); }
    [[nodiscard]] QString error() const { return error_; }

    // Primary: replaces any socket file left behind and listens. Needs a Qt application object.
    [[nodiscard]] bool listen();

    // Not primary: hands the request to the running instance, trying until `patience` has passed
    // (the primary may be starting and not yet listening). True when it acknowledged the request.
    [[nodiscard]] bool sendRequest(InstanceRequest request, std::chrono::milliseconds patience);

    [[nodiscard]] QString lockPath() const;
    [[nodiscard]] QString socketPath() const;

signals:
    void showRequested();
    void quitRequested();

private:
    void onNewConnection();
    void onClientReadable(QLocalSocket* client);

    QString folder_;
    QString error_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};

}  // namespace talvo
