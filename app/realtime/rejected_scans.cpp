#include "realtime/rejected_scans.h"

#include "zt/client/display_form.h"
#include "zt/platform/unique_fd.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace talvo {

RejectedScans::RejectedScans(std::filesystem::path folder, Notify notify)
    : file_(std::move(folder) / kFileName), notify_(std::move(notify)) {}

std::string RejectedScans::line(const std::string& receivedAt, const QString& scanner, const ScanTimeBytes& time,
                                std::string_view text, bool deleted) {
    std::string bytes;
    for (const std::uint8_t b : time) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", b);
        if (!bytes.empty()) bytes += ' ';
        bytes += hex;
    }
    return receivedAt + '\t' + zt::client::displayForm(scanner.toStdString()) + '\t' + bytes + '\t' +
           zt::client::displayForm(text) + '\t' + (deleted ? "deleted" : "scan");
}

QString RejectedScans::append(const std::string& line) const {
    const zt::platform::UniqueFd fd(::open(file_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (!fd.valid()) return QString::fromLocal8Bit(std::strerror(errno));
    // One write: appends of lines from several threads or programs never interleave within a line.
    const std::string whole = line + '\n';
    const auto written = ::write(fd.get(), whole.data(), whole.size());
    if (written < 0) return QString::fromLocal8Bit(std::strerror(errno));
    if (static_cast<std::size_t>(written) != whole.size()) return QStringLiteral("the disk is full");
    return {};
}

void RejectedScans::keep(const QString& scanner, const ScanTimeBytes& time, std::string_view text, bool deleted) {
    const std::string receivedAt =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")).toStdString();
    const QString error = append(line(receivedAt, scanner, time, text, deleted));
    const QString who = scanner.isEmpty() ? QStringLiteral("a scanner") : scanner;
    const QString where = QString::fromStdString(file_.string());
    {
        const std::lock_guard lock(mutex_);
        // Told once per scanner; a barcode that could not even be kept is always told.
        if (error.isEmpty() && !told_.insert(scanner).second) return;
    }
    if (!notify_) return;
    if (error.isEmpty()) {
        notify_(QStringLiteral("A barcode from %1 has an impossible scan time: it is not listed or typed, but kept "
                               "in %2 (set the scanner's clock).")
                    .arg(who, where));
    } else {
        notify_(QStringLiteral("A barcode from %1 has an impossible scan time and could not be kept in %2: %3. Its "
                               "text: %4")
                    .arg(who, where, error, QString::fromStdString(zt::client::displayForm(text))));
    }
}

}  // namespace talvo
