#include "settings/app_settings.h"

#include "zt/client/reconnect_schedule.h"

#include <QCoreApplication>
#include <QSettings>
#include <QVariant>
#include <algorithm>
#include <limits>
#include <optional>

namespace talvo {
namespace {

constexpr std::array<SettingInfo, kSettingCount> kInfo{{
    {"ConnectRetry", zt::client::ReconnectSchedule::kDefaultRetries, SettingRange::Count0To10},
    {"IconTray", 1, SettingRange::Flag},
    {"TimeStamp", 0, SettingRange::Flag},
    {"RealTime", 1, SettingRange::Flag},
    {"TimeSync", 1, SettingRange::Flag},
    {"Sound", 3, SettingRange::Any},
    {"TimeStampOfDownData", 1, SettingRange::Flag},
}};

// A stored value as a 32-bit integer, or nothing when it is not a whole number in that range
// (text, a fraction, a list, a number too large).
std::optional<std::int32_t> storedInteger(const QVariant& stored) {
    bool ok = false;
    const qlonglong wide = stored.toString().trimmed().toLongLong(&ok);
    if (!ok || wide < std::numeric_limits<std::int32_t>::min() || wide > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(wide);
}

QSettings defaultLocation() { return QSettings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan")); }

}  // namespace

const SettingInfo& settingInfo(SettingKind kind) { return kInfo[static_cast<std::size_t>(kind)]; }

bool isSettingKind(int kind) { return kind >= 0 && kind < kSettingCount; }

AppSettings::AppSettings() {
    for (std::size_t i = 0; i < kInfo.size(); ++i) values_[i] = kInfo[i].defaultValue;
}

std::int32_t AppSettings::sanitize(SettingKind kind, const QVariant& stored, bool present) {
    const SettingInfo& info = settingInfo(kind);
    if (!present) return info.defaultValue;
    const std::optional<std::int32_t> number = storedInteger(stored);
    if (!number) return info.defaultValue;
    switch (info.range) {
        case SettingRange::Count0To10: return std::clamp(*number, kConnectRetryMin, kConnectRetryMax);
        case SettingRange::Flag: return (*number == 0 || *number == 1) ? *number : info.defaultValue;
        case SettingRange::Any: return *number;
    }
    return info.defaultValue;
}

AppSettings AppSettings::load(QSettings& settings) {
    AppSettings result;
    // An unreadable file reads as empty, so every value takes its default.
    settings.beginGroup(QLatin1String(kSettingGroup));
    for (int i = 0; i < kSettingCount; ++i) {
        const auto kind = static_cast<SettingKind>(i);
        const QString name = QLatin1String(settingInfo(kind).name);
        result.setValue(kind, sanitize(kind, settings.value(name), settings.contains(name)));
    }
    settings.endGroup();
    return result;
}

AppSettings AppSettings::loadDefaultLocation() {
    QSettings settings = defaultLocation();
    return load(settings);
}

bool AppSettings::save(QSettings& settings) const {
    settings.beginGroup(QLatin1String(kSettingGroup));
    for (int i = 0; i < kSettingCount; ++i) {
        const auto kind = static_cast<SettingKind>(i);
        settings.setValue(QLatin1String(settingInfo(kind).name), value(kind));
    }
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool AppSettings::saveDefaultLocation() const {
    QSettings settings = defaultLocation();
    return save(settings);
}

SharedSettings::SharedSettings(const AppSettings& initial) { assign(initial); }

std::int32_t SharedSettings::value(SettingKind kind) const {
    return values_[static_cast<std::size_t>(kind)].load(std::memory_order_relaxed);
}

void SharedSettings::setValue(SettingKind kind, std::int32_t value) {
    values_[static_cast<std::size_t>(kind)].store(value, std::memory_order_relaxed);
}

AppSettings SharedSettings::snapshot() const {
    AppSettings copy;
    for (int i = 0; i < kSettingCount; ++i)
        copy.setValue(static_cast<SettingKind>(i), value(static_cast<SettingKind>(i)));
    return copy;
}

void SharedSettings::assign(const AppSettings& settings) {
    for (int i = 0; i < kSettingCount; ++i)
        setValue(static_cast<SettingKind>(i), settings.value(static_cast<SettingKind>(i)));
}

}  // namespace talvo
