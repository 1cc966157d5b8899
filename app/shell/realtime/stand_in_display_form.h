// STAND-IN for the client module's display form (zt_client): replace this file's users by the client
// module's function when it is merged. Tab, line feed, carriage return and backslash become \t, \n, \r
// and \\; every other character stays as it is.
#pragma once

#include <QString>

namespace talvo::standin {

[[nodiscard]] inline QString displayForm(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\t': out += QLatin1String("\\t"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\\': out += QLatin1String("\\\\"); break;
        default: out += c; break;
        }
    }
    return out;
}

}  // namespace talvo::standin
