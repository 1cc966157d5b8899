#include "pages/download/notice_texts.h"

namespace talvo::download {
namespace {

const QString kLineBreak = QStringLiteral("\r\n");

// A result line that stays in the status text: "<status>\r\n<line>" shown, "\r\n<line>" kept.
NoticeUpdate kept(const QString& status, const QString& line) {
    return {status + kLineBreak + line, kLineBreak + line};
}

}  // namespace

NoticeUpdate progressNotice(const QString& status, const QString& name, int total, int progress) {
    if (progress == 0) return {status + kLineBreak + name + QStringLiteral("   Wait.."), {}};
    if (progress == -1) return kept(status, name + QStringLiteral("    Fail!"));
    if (progress == total) return kept(status, name + QStringLiteral("    Done!"));
    if (progress < total && total != 0) {
        // Integer percentage, truncated toward zero; 64-bit so that large totals cannot overflow.
        const auto percent = static_cast<long long>(progress) * 100 / total;
        return {status + kLineBreak + name + QStringLiteral("    %1%").arg(percent, 5), {}};
    }
    return {QString(""), {}};
}

NoticeUpdate noDataNotice(const QString& status, const QString& name) {
    return kept(status, name + QStringLiteral(" No Data!"));
}

NoticeUpdate writeFailedNotice(const QString& status, const QString& name) {
    return kept(status, name + QStringLiteral("    Fail!"));
}

QString folderUnusableNotice(const QString& folder) {
    return QStringLiteral("Cannot write to the data folder\r\n%1\r\nNothing was downloaded.").arg(folder);
}

}  // namespace talvo::download
