#include "keyboard/portal/portal_responses.h"

#include <QDBusArgument>

namespace talvo::keyboard {

void PortalResponses::onResponse(const QDBusMessage& message) {
    const QList<QVariant> arguments = message.arguments();
    Response response;
    if (!arguments.isEmpty()) response.code = arguments[0].toUInt();
    if (arguments.size() > 1) response.results = qdbus_cast<QVariantMap>(arguments[1]);
    {
        const std::lock_guard lock(mutex_);
        responses_[message.path()] = std::move(response);
    }
    arrived_.notify_all();
}

std::optional<PortalResponses::Response> PortalResponses::wait(const QString& path, std::stop_token stop,
                                                               std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    if (!arrived_.wait_for(lock, stop, timeout, [&] { return responses_.contains(path); })) return std::nullopt;
    auto node = responses_.extract(path);
    return std::move(node.mapped());
}

}  // namespace talvo::keyboard
