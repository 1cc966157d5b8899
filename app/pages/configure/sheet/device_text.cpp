#include "pages/configure/sheet/device_text.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace talvo::config {

std::optional<QByteArray> toDeviceText(const QString& text) {
    QStringEncoder encoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) return std::nullopt;
    return bytes;
}

QString fromDeviceText(const char* text, std::size_t capacity) {
    const auto length = static_cast<qsizetype>(strnlen(text, capacity));
    const QByteArrayView bytes(text, length);
    QStringDecoder decoder(QStringConverter::System, QStringConverter::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError()) return QString::fromLatin1(bytes);
    return decoded;
}

}  // namespace talvo::config
