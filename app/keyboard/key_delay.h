// The key delay: milliseconds per typed character, stored as "KeyDelay" in group "Setting" of
// QSettings("TalvoScan", "TalvoScan") beside the other settings, and given on the command line as
// --key-delay MS. At least 1 ms: X servers reorder XTest events that arrive without any pause.
#pragma once

#include <QString>

#include <optional>

class QSettings;

namespace talvo::keyboard {

inline constexpr const char* kKeyDelayName = "KeyDelay";
inline constexpr int kKeyDelayDefaultMs = 10;
inline constexpr int kKeyDelayMinMs = 1;
// A second per character is already far slower than any person types; more is a typo.
inline constexpr int kKeyDelayMaxMs = 1000;

// Into kKeyDelayMinMs..kKeyDelayMaxMs.
[[nodiscard]] int clampKeyDelay(long long ms);

// "KeyDelay" of group "Setting" (the caller's settings object, no group open): missing or not a number
// gives the default, a number outside the range is clamped.
[[nodiscard]] int readKeyDelay(QSettings& settings);

// The value of --key-delay: a whole number in range, else nothing (the caller reports a usage error).
[[nodiscard]] std::optional<int> parseKeyDelayOption(const QString& text);

}  // namespace talvo::keyboard
