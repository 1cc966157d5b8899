#include "shell/talvo_scan_app.h"

#include "shell/key_filter.h"
#include "shell/main_sheet_dlg.h"
#include "shell/scripted_tour.h"
#include "shell/signal_watcher.h"
#include "shell/single_instance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>

#include <chrono>
#include <cstdio>

namespace talvo {
namespace {

// How long a second start keeps trying to reach the first one (which may still be starting).
constexpr auto kReachPatience = std::chrono::milliseconds(5000);
constexpr auto kReachSlice = std::chrono::milliseconds(500);

QElapsedTimer& startClock() {
    static QElapsedTimer clock;
    return clock;
}

QString& dataDirValue() {
    static QString value;
    return value;
}

std::optional<int>& keyDelayValue() {
    static std::optional<int> value;
    return value;
}

QStringList argumentList(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i) list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

void printTo(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

enum class Election { Primary, Handed, Failed };

// Becomes the primary instance, or hands the request to the one running. Retries both, because the
// running one may end (and free the lock) or still be starting (and not yet listen) meanwhile.
Election elect(SingleInstance& instance, InstanceRequest request) {
    QElapsedTimer waited;
    waited.start();
    while (true) {
        if (instance.tryBecomePrimary()) return Election::Primary;
        if (!instance.hasFolder()) return Election::Failed;
        if (instance.sendRequest(request, kReachSlice)) return Election::Handed;
        if (std::chrono::milliseconds(waited.elapsed()) >= kReachPatience) return Election::Failed;
    }
}

}  // namespace

QString CTalvoScanApp::dataDir() { return dataDirValue().isEmpty() ? QDir::currentPath() : dataDirValue(); }

std::optional<int> CTalvoScanApp::keyDelayOption() { return keyDelayValue(); }

qint64 CTalvoScanApp::millisecondsSinceStart() { return startClock().isValid() ? startClock().elapsed() : 0; }

int CTalvoScanApp::run(int argc, char** argv) {
    startClock().start();
    const ParsedOptions parsed = parseProgramOptions(argumentList(argc, argv));
    if (!parsed.options) {
        printTo(stderr, QStringLiteral("TalvoScan: %1\n\n%2").arg(parsed.error, usageText()));
        return 2;
    }
    const ProgramOptions& options = *parsed.options;
    if (options.help) {
        printTo(stdout, usageText());
        return 0;
    }
    if (options.version) {
        printTo(stdout, versionText());
        return 0;
    }
    if (!options.dataDir.isEmpty()) {
        const QDir folder(options.dataDir);
        if (!folder.exists() && !QDir().mkpath(options.dataDir)) {
            printTo(stderr, QStringLiteral("TalvoScan: cannot create the data folder %1\n").arg(options.dataDir));
            return 2;
        }
        dataDirValue() = QDir(options.dataDir).absolutePath();
    }

    keyDelayValue() = options.keyDelayMs;

    SingleInstance instance;
    const InstanceRequest request = options.quit ? InstanceRequest::Quit : InstanceRequest::Show;
    {
        // The socket client needs an event dispatcher, not a display.
        QCoreApplication probe(argc, argv);
        switch (elect(instance, request)) {
            case Election::Handed: return 0;
            case Election::Failed: printTo(stderr, QStringLiteral("TalvoScan: %1\n").arg(instance.error())); return 1;
            case Election::Primary: break;
        }
    }
    if (options.quit) {
        printTo(stderr, QStringLiteral("TalvoScan is not running.\n"));
        return 0;
    }
    return runPrimary(argc, argv, options, instance);
}

int CTalvoScanApp::runPrimary(int argc, char** argv, const ProgramOptions& options, SingleInstance& instance) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TalvoScan"));
    QApplication::setOrganizationName(QStringLiteral("TalvoScan"));
    QApplication::setApplicationVersion(QStringLiteral(TALVO_VERSION));
    // The sheet hides instead of closing; only an explicit request ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SignalWatcher terminationSignals;
    QObject::connect(&terminationSignals, &SignalWatcher::terminationRequested, &app, [] { QCoreApplication::quit(); });
    if (!instance.listen())
        printTo(stderr, QStringLiteral("TalvoScan: not reachable by a second start: %1\n").arg(instance.error()));

    KeyFilter keys(readActionKeyDefaultLocation());
    app.installEventFilter(&keys);

    int status = 0;
    {
        CMainSheetDlg sheet;
        QObject::connect(&instance, &SingleInstance::showRequested, &sheet, &CMainSheetDlg::showInFront);
        QObject::connect(&instance, &SingleInstance::quitRequested, &app, [] { QCoreApplication::quit(); });
        QObject::connect(&sheet, &CMainSheetDlg::quitRequested, &app, [] { QCoreApplication::quit(); });

        std::unique_ptr<ScriptedTour> tour;
        if (!options.screenshotDir.isEmpty()) {
            tour = std::make_unique<ScriptedTour>(sheet, options.screenshotDir, options.tourTimeoutSeconds);
            QObject::connect(tour.get(), &ScriptedTour::finished, &app, [&status](bool allConnected) {
                status = allConnected ? 0 : 1;
                QCoreApplication::quit();
            });
        }
        sheet.show();
        if (tour) tour->start();
        QApplication::exec();
        // The orderly end: worker, SDK connections and callbacks, then the pages (settings written).
        tour.reset();
        sheet.shutdown();
    }
    app.removeEventFilter(&keys);
    return status;
}

}  // namespace talvo
