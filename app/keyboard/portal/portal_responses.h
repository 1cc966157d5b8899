// The Response signals of the portal's Request objects, for a caller that waits on a plain thread.
// Lives in a thread of its own with an event loop (QtDBus hands signals to the receiver's thread);
// the typing worker waits on the condition below.
#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <stop_token>

namespace talvo::keyboard {

class PortalResponses : public QObject {
    Q_OBJECT

public:
    struct Response {
        uint code = 2;  // 0 done, 1 cancelled by the user, 2 ended otherwise
        QVariantMap results;
    };

    // The response for `path`, once it came; nothing at the deadline or when `stop` fired.
    [[nodiscard]] std::optional<Response> wait(const QString& path, std::stop_token stop,
                                               std::chrono::milliseconds timeout);

public Q_SLOTS:
    void onResponse(const QDBusMessage& message);

private:
    std::mutex mutex_;
    std::condition_variable_any arrived_;
    std::map<QString, Response> responses_;
};

}  // namespace talvo::keyboard
