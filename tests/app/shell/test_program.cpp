// The program as a process: one instance per user (a second start shows the first and ends, a stale
// socket does not block, two starts at once leave one), --quit, and SIGTERM/SIGINT ending it in order.
#include "shell/single_instance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <csignal>
#include <memory>

namespace {

constexpr int kStartMs = 15000;  // generous for the sanitizer builds
constexpr int kEndMs = 10000;

QString program() { return qEnvironmentVariable("TALVOSCAN"); }
QString socketPath() { return qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/TalvoScan.socket"); }
QString settingsFile() { return QSettings(QStringLiteral("TalvoScan"), QStringLiteral("TalvoScan")).fileName(); }

bool listening() {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    return socket.waitForConnected(200);
}

}  // namespace

class TestProgram : public QObject {
    Q_OBJECT

private:
    QTemporaryDir work_;

    std::unique_ptr<QProcess> start(const QStringList& arguments = {}) {
        auto process = std::make_unique<QProcess>();
        process->setWorkingDirectory(work_.path());
        process->start(program(), arguments);
        return process;
    }

    // Runs TalvoScan with the arguments to its end; returns the exit code, or -1 when it did not end.
    int runToEnd(const QStringList& arguments) {
        const std::unique_ptr<QProcess> process = start(arguments);
        if (!process->waitForFinished(kEndMs)) {
            process->kill();
            process->waitForFinished();
            return -1;
        }
        return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    }

    static bool endsWith(QProcess& process, int code) {
        if (process.state() != QProcess::NotRunning && !process.waitForFinished(kEndMs)) return false;
        return process.exitStatus() == QProcess::NormalExit && process.exitCode() == code;
    }

private slots:
    void init() {
        QVERIFY(!program().isEmpty());
        QFile::remove(settingsFile());
        QVERIFY(!listening());
    }

    void aSecondStartAsksTheFirstToShowItself() {
        // This test process is the first instance here, so it sees the request itself.
        talvo::SingleInstance first;
        QVERIFY(first.tryBecomePrimary());
        QVERIFY(first.listen());
        QSignalSpy shows(&first, &talvo::SingleInstance::showRequested);
        QSignalSpy quits(&first, &talvo::SingleInstance::quitRequested);
        const std::unique_ptr<QProcess> second = start();
        QSignalSpy finished(second.get(), &QProcess::finished);
        QVERIFY(finished.wait(kEndMs));
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(shows.size(), 1);
        const std::unique_ptr<QProcess> quitter = start({QStringLiteral("--quit")});
        QSignalSpy quitterFinished(quitter.get(), &QProcess::finished);
        QVERIFY(quitterFinished.wait(kEndMs));
        QCOMPARE(quitter->exitCode(), 0);
        QCOMPARE(quits.size(), 1);
        QCOMPARE(shows.size(), 1);
    }

    void aSecondStartOfTheProgramEndsAndTheFirstRuns() {
        const std::unique_ptr<QProcess> first = start();
        QTRY_VERIFY_WITH_TIMEOUT(listening(), kStartMs);
        QCOMPARE(runToEnd({}), 0);
        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(runToEnd({QStringLiteral("--quit")}), 0);
        QVERIFY(endsWith(*first, 0));
        QVERIFY(QFile::exists(settingsFile()));  // the orderly end wrote the settings
        QVERIFY(!QFile::exists(socketPath()));
        // Nothing landed in the working folder.
        QVERIFY(QDir(work_.path()).isEmpty());
    }

    void aStaleSocketDoesNotBlockTheNextStart() {
        // A socket file with nobody listening, as a killed instance leaves it.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(socketPath());
        std::copy(path.begin(), path.end(), address.sun_path);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(QFile::exists(socketPath()));
        QVERIFY(!listening());

        const std::unique_ptr<QProcess> first = start();
        QTRY_VERIFY_WITH_TIMEOUT(listening(), kStartMs);
        QCOMPARE(runToEnd({QStringLiteral("--quit")}), 0);
        QVERIFY(endsWith(*first, 0));
    }

    void twoStartsAtOnceLeaveOneInstance() {
        const std::unique_ptr<QProcess> a = start();
        const std::unique_ptr<QProcess> b = start();
        QVERIFY(a->waitForStarted() && b->waitForStarted());
        // One of them hands over to the other and ends with 0; the other keeps running.
        QTRY_VERIFY_WITH_TIMEOUT(a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning, kStartMs);
        QProcess& ended = a->state() == QProcess::NotRunning ? *a : *b;
        QProcess& running = &ended == a.get() ? *b : *a;
        QVERIFY(endsWith(ended, 0));
        QCOMPARE(running.state(), QProcess::Running);
        QTRY_VERIFY_WITH_TIMEOUT(listening(), kStartMs);
        QCOMPARE(runToEnd({QStringLiteral("--quit")}), 0);
        QVERIFY(endsWith(running, 0));
    }

    void quitWithNothingRunningEnds() { QCOMPARE(runToEnd({QStringLiteral("--quit")}), 0); }

    void aTerminationSignalEndsInOrder_data() {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void aTerminationSignalEndsInOrder() {
        QFETCH(int, signalNumber);
        const QString data = work_.filePath(QStringLiteral("data-%1").arg(signalNumber));
        const std::unique_ptr<QProcess> first = start({QStringLiteral("--data-dir"), data});
        QTRY_VERIFY_WITH_TIMEOUT(listening(), kStartMs);
        QVERIFY(QFileInfo(data).isDir());
        QCOMPARE(::kill(static_cast<pid_t>(first->processId()), signalNumber), 0);
        QVERIFY(endsWith(*first, 0));
        QVERIFY(QFile::exists(settingsFile()));
        QVERIFY(!QFile::exists(socketPath()));
    }

    void withoutARuntimeFolderAPrivateOneInTmpIsUsed() {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray tmp = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", runtime);
            qputenv("TMPDIR", tmp);
        });
        QTemporaryDir base;
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(base.path()));
        const QString expected = base.filePath(QStringLiteral("talvoscan-%1").arg(::getuid()));
        QCOMPARE(talvo::SingleInstance::runtimeFolder(), expected);
        QCOMPARE(QFileInfo(expected).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                                                      QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther),
                 QFile::Permissions{});
        // A folder of that name that others may enter is not used.
        QVERIFY(QFile::setPermissions(expected, QFile::Permissions(0x7777)));
        QVERIFY(talvo::SingleInstance::runtimeFolder().isEmpty());
        talvo::SingleInstance refused;
        QVERIFY(!refused.tryBecomePrimary());
        QVERIFY(!refused.error().isEmpty());
        // The program says so at once instead of waiting for an instance it cannot find.
        QProcess process;
        process.start(program());
        QVERIFY(process.waitForFinished(kEndMs));
        QCOMPARE(process.exitCode(), 1);
        QVERIFY(process.readAllStandardError().contains("no private runtime folder"));
    }

    void commandLine() {
        const std::unique_ptr<QProcess> version = start({QStringLiteral("--version")});
        QVERIFY(version->waitForFinished(kEndMs));
        QCOMPARE(version->exitCode(), 0);
        QVERIFY(version->readAllStandardOutput().startsWith("TalvoScan "));
        QCOMPARE(runToEnd({QStringLiteral("--help")}), 0);
        QCOMPARE(runToEnd({QStringLiteral("--no-such-option")}), 2);
        QCOMPARE(runToEnd({QStringLiteral("--data-dir")}), 2);
        // The key delay of a run: 1 to 1000 ms; 0 (which X servers answer by reordering keys), a word
        // and a missing value are usage errors.
        for (const char* bad : {"0", "1001", "ten", "-5"})
            QCOMPARE(runToEnd({QStringLiteral("--key-delay"), QString::fromLatin1(bad)}), 2);
        QCOMPARE(runToEnd({QStringLiteral("--key-delay")}), 2);
        QCOMPARE(runToEnd({QStringLiteral("--key-delay=5"), QStringLiteral("--version")}), 0);
        QVERIFY(!listening());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
