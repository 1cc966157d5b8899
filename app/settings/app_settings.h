// The seven application settings, stored as integers in QSettings("TalvoScan", "TalvoScan"), group
// "Setting". Reading never fails: a missing or unreadable value takes its default, a flag other than 0 or
// 1 takes its default, and "ConnectRetry" outside 0..10 is clamped into that range.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

class QSettings;
class QVariant;

namespace talvo {

// The kinds of MsgSettingChanged; also the order in which the values are stored and written.
enum class SettingKind : int {
    ConnectRetry = 0,
    IconTray = 1,
    TimeStamp = 2,
    RealTime = 3,
    TimeSync = 4,
    Sound = 5,
    TimeStampOfDownData = 6,
};

inline constexpr int kSettingCount = 7;
inline constexpr int kConnectRetryMin = 0;
inline constexpr int kConnectRetryMax = 10;

// How a stored value is checked when it is read.
enum class SettingRange { Count0To10, Flag, Any };

struct SettingInfo {
    const char* name;  // value name in the group "Setting"
    std::int32_t defaultValue;
    SettingRange range;
};

[[nodiscard]] const SettingInfo& settingInfo(SettingKind kind);
[[nodiscard]] bool isSettingKind(int kind);

// The group of the settings in the settings file.
inline constexpr const char* kSettingGroup = "Setting";

// A plain copy of the seven values.
class AppSettings {
public:
    AppSettings();  // every value at its default

    [[nodiscard]] std::int32_t value(SettingKind kind) const { return values_[index(kind)]; }
    void setValue(SettingKind kind, std::int32_t value) { values_[index(kind)] = value; }

    // Reads the seven values from group "Setting" of the given settings.
    [[nodiscard]] static AppSettings load(QSettings& settings);
    // Reads them from QSettings("TalvoScan", "TalvoScan").
    [[nodiscard]] static AppSettings loadDefaultLocation();
    // Writes the seven values, in kind order; returns false when the file could not be written.
    [[nodiscard]] bool save(QSettings& settings) const;
    [[nodiscard]] bool saveDefaultLocation() const;

    // The value as it is read from storage: defaults for garbage, clamps and flag checks as above.
    [[nodiscard]] static std::int32_t sanitize(SettingKind kind, const QVariant& stored, bool present);

    friend bool operator==(const AppSettings&, const AppSettings&) = default;

private:
    static constexpr std::size_t index(SettingKind kind) { return static_cast<std::size_t>(kind); }
    std::array<std::int32_t, kSettingCount> values_{};
};

// The main sheet's working copy. Written on the user-interface thread only; the connection worker and
// the SDK callbacks read single values from other threads, hence atomics.
class SharedSettings {
public:
    explicit SharedSettings(const AppSettings& initial = AppSettings{});

    [[nodiscard]] std::int32_t value(SettingKind kind) const;
    void setValue(SettingKind kind, std::int32_t value);
    [[nodiscard]] AppSettings snapshot() const;
    void assign(const AppSettings& settings);

    [[nodiscard]] int connectRetry() const { return value(SettingKind::ConnectRetry); }
    [[nodiscard]] bool timeSync() const { return value(SettingKind::TimeSync) != 0; }

private:
    std::array<std::atomic<std::int32_t>, kSettingCount> values_{};
};

}  // namespace talvo
