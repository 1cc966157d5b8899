// Texts as a scanner's SDK takes them: 8-bit strings in this system's character set (the locale's, as
// Qt's System converter sees it).
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <optional>

namespace talvo::config {

// `text` in the system's character set; nothing when a character has no form there.
[[nodiscard]] std::optional<QByteArray> toDeviceText(const QString& text);
// The bytes of `text` up to its first zero byte (at most `capacity`); bytes that do not decode in the
// system's character set are taken as Latin-1, so that nothing is dropped.
[[nodiscard]] QString fromDeviceText(const char* text, std::size_t capacity);

}  // namespace talvo::config
