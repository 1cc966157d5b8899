// The command line of TalvoScan. Read before any Qt application object exists, so that --help,
// --version and a second start need no display. Options of Qt itself (-platform NAME, -display NAME,
// -style NAME, ...) are left for QApplication.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace talvo {

struct ProgramOptions {
    bool help = false;
    bool version = false;
    bool quit = false;
    QString dataDir;        // empty: the working folder
    QString screenshotDir;  // --screenshot-tour DIR: connect every scanner, save each page, end
    int tourTimeoutSeconds = 30;
    std::optional<int> keyDelayMs;  // --key-delay MS: for this run only; else the stored "KeyDelay"
};

struct ParsedOptions {
    std::optional<ProgramOptions> options;  // nothing on a usage error
    QString error;
};

[[nodiscard]] ParsedOptions parseProgramOptions(const QStringList& arguments);
[[nodiscard]] QString usageText();
[[nodiscard]] QString versionText();

}  // namespace talvo
