#include "pages/setting/manual_time.h"

#include <algorithm>

namespace talvo {
namespace {

constexpr int kDigits = 14;

bool allAsciiDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

int digitsAt(const QString& text, int from, int count) { return text.mid(from, count).toInt(); }

}  // namespace

QString fourteenDigitTime(const QDateTime& time) {
    const QDate date = time.date();
    const QTime clock = time.time();
    return QString::asprintf("%04d%02d%02d%02d%02d%02d", date.year(), date.month(), date.day(), clock.hour(),
                             clock.minute(), clock.second());
}

ScannerTimeBytes manualScannerTime(const QString& text, const QDateTime& now) {
    int year = now.date().year();
    int month = now.date().month();
    int day = now.date().day();
    int hour = now.time().hour();
    int minute = now.time().minute();
    int second = now.time().second();
    // Only a text of exactly fourteen ASCII digits is read; letters would otherwise leave fields unset.
    if (text.size() == kDigits && allAsciiDigits(text)) {
        year = digitsAt(text, 0, 4);
        month = digitsAt(text, 4, 2);
        day = digitsAt(text, 6, 2);
        hour = digitsAt(text, 8, 2);
        minute = digitsAt(text, 10, 2);
        second = digitsAt(text, 12, 2);
    }
    const int weekday = now.date().dayOfWeek() % 7;  // Qt counts Monday 1 .. Sunday 7
    auto byte = [](int value) { return static_cast<std::uint8_t>(value & 0xFF); };
    return {byte(year - 1900), byte(month - 1), byte(day), byte(hour), byte(minute), byte(second), byte(weekday)};
}

}  // namespace talvo
