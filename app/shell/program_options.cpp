#include "shell/program_options.h"

#include "keyboard/key_delay.h"

#include <QSet>

namespace talvo {
namespace {

// Options of QApplication that take a value; they pass through untouched.
const QSet<QString>& qtOptionsWithValue() {
    static const QSet<QString> options{
        QStringLiteral("-platform"),      QStringLiteral("-platformpluginpath"),
        QStringLiteral("-platformtheme"), QStringLiteral("-plugin"),
        QStringLiteral("-qmljsdebugger"), QStringLiteral("-qwindowgeometry"),
        QStringLiteral("-qwindowtitle"),  QStringLiteral("-qwindowicon"),
        QStringLiteral("-display"),       QStringLiteral("-style"),
        QStringLiteral("-stylesheet"),    QStringLiteral("-session"),
        QStringLiteral("-name"),          QStringLiteral("-title"),
        QStringLiteral("-geometry"),
    };
    return options;
}

// The name of an option, without an inline "=value".
QString optionName(const QString& argument) {
    const qsizetype equals = argument.indexOf(u'=');
    return argument.startsWith(QLatin1String("--")) && equals >= 0 ? argument.left(equals) : argument;
}

// The value of the option at `i`: its inline "=value", else the next argument (then `i` moves on).
// Empty when there is none.
QString optionValue(const QStringList& arguments, qsizetype& i) {
    const QString& argument = arguments[i];
    const qsizetype equals = argument.indexOf(u'=');
    if (argument.startsWith(QLatin1String("--")) && equals >= 0) return argument.mid(equals + 1);
    if (i + 1 < arguments.size()) return arguments[++i];
    return {};
}

}  // namespace

ParsedOptions parseProgramOptions(const QStringList& arguments) {
    ProgramOptions options;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString name = optionName(arguments[i]);
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            options.help = true;
        } else if (name == QLatin1String("--version")) {
            options.version = true;
        } else if (name == QLatin1String("--quit")) {
            options.quit = true;
        } else if (name == QLatin1String("--data-dir") || name == QLatin1String("--screenshot-tour")) {
            const QString value = optionValue(arguments, i);
            if (value.isEmpty()) return {std::nullopt, name + QStringLiteral(" needs a folder")};
            (name == QLatin1String("--data-dir") ? options.dataDir : options.screenshotDir) = value;
        } else if (name == QLatin1String("--tour-timeout")) {
            bool ok = false;
            const int seconds = optionValue(arguments, i).toInt(&ok);
            if (!ok || seconds < 1 || seconds > 3600)
                return {std::nullopt, QStringLiteral("--tour-timeout needs a number of seconds (1 to 3600)")};
            options.tourTimeoutSeconds = seconds;
        } else if (name == QLatin1String("--key-delay")) {
            options.keyDelayMs = keyboard::parseKeyDelayOption(optionValue(arguments, i));
            if (!options.keyDelayMs)
                return {std::nullopt, QStringLiteral("--key-delay needs milliseconds (1 to 1000)")};
        } else if (qtOptionsWithValue().contains(name)) {
            ++i;  // QApplication reads it
        } else if (name.startsWith(u'-') && !name.startsWith(QLatin1String("--"))) {
            // other single-dash options belong to Qt (-reverse, -nograb, ...)
        } else {
            return {std::nullopt, QStringLiteral("unknown argument '%1'").arg(arguments[i])};
        }
    }
    return {options, {}};
}

QString usageText() {
    return QStringLiteral(
        "Usage: TalvoScan [options]\n"
        "Works with several Bluetooth barcode scanners: connects them, keeps them connected, and\n"
        "receives their barcodes. One TalvoScan runs per user; starting it again shows the running one.\n"
        "\n"
        "Options:\n"
        "  --data-dir DIR          folder of the scan-data files (default: the working folder)\n"
        "  --key-delay MS          pause per typed character for this run (1 to 1000; default: the\n"
        "                          setting KeyDelay, 10)\n"
        "  --quit                  ask the running TalvoScan to end, then end\n"
        "  --screenshot-tour DIR   connect every listed scanner, save a PNG of each page into DIR, end\n"
        "  --tour-timeout SECONDS  how long the tour waits for the scanners (default 30)\n"
        "  --version               print the version and end\n"
        "  --help                  print this text and end\n"
        "\n"
        "Scanners are found as the device search finds them (ZT_PORT_DIR, ZT_REGISTRY, BlueZ).\n"
        "SIGTERM, SIGINT and Ctrl+Q end the program; OK, F4 and the close button only hide it.\n");
}

QString versionText() { return QStringLiteral("TalvoScan %1\n").arg(QStringLiteral(TALVO_VERSION)); }

}  // namespace talvo
