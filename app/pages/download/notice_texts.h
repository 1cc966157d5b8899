// The texts the Download page's notice shows while a download runs. `status` is the text built up so
// far (one result line per finished scanner), `name` the scanner being downloaded.
#pragma once

#include <QString>

namespace talvo::download {

inline const QString kDownloading = QStringLiteral("Downloading...");
inline const QString kCompleted = QStringLiteral("Download\r\nCompleted!");

// What one progress report shows and what it adds to the status text.
struct NoticeUpdate {
    QString notice;      // null: the notice is left as it is
    QString statusTail;  // appended to the status text (may be empty)
};

// progress 0: "Wait.."; -1: "Fail!" (kept); total: "Done!" (kept); below total: the percentage right-
// aligned in five places; above total: an empty notice.
[[nodiscard]] NoticeUpdate progressNotice(const QString& status, const QString& name, int total, int progress);
// A scanner without stored records.
[[nodiscard]] NoticeUpdate noDataNotice(const QString& status, const QString& name);
// A scanner whose records arrived but could not be stored in its file.
[[nodiscard]] NoticeUpdate writeFailedNotice(const QString& status, const QString& name);
// The data folder is missing or cannot be written: nothing is downloaded.
[[nodiscard]] QString folderUnusableNotice(const QString& folder);

}  // namespace talvo::download
