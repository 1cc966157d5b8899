#include "keyboard/key_delay.h"

#include <QSettings>

#include <algorithm>

namespace talvo::keyboard {

int clampKeyDelay(long long ms) { return static_cast<int>(std::clamp<long long>(ms, kKeyDelayMinMs, kKeyDelayMaxMs)); }

int readKeyDelay(QSettings& settings) {
    settings.beginGroup(QStringLiteral("Setting"));
    const QVariant stored = settings.value(QLatin1String(kKeyDelayName));
    settings.endGroup();
    bool ok = false;
    const long long ms = stored.toLongLong(&ok);
    return ok ? clampKeyDelay(ms) : kKeyDelayDefaultMs;
}

std::optional<int> parseKeyDelayOption(const QString& text) {
    bool ok = false;
    const int ms = text.trimmed().toInt(&ok);
    if (!ok || ms < kKeyDelayMinMs || ms > kKeyDelayMaxMs) return std::nullopt;
    return ms;
}

}  // namespace talvo::keyboard
