// TalvoScan at rest: the whole program (its main sheet with every page and worker, the SDK's threads)
// with 16 connected scanners and nothing scanned. The simulator runs as a process of its own (zt-sim), so
// everything this process does is the program's. Over the measured time it counts the wake-ups of every
// thread (context switches, from /proc/self/task/*/status) and the CPU time (getrusage), and prints them
// per second and per minute, with the threads that wake most. No goal yet: the figure is to be watched.
//
//   talvo_bench_idle [SECONDS]   (default 20)
#include "connection/record_fields.h"
#include "pages/connect/connect_page.h"
#include "pages/connect/device_list.h"
#include "shell/main_sheet_dlg.h"
#include "support/sheet_rig.h"

#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kScanners = 16;
constexpr int kSettleMs = 2000;  // after the last connection, before measuring

struct ThreadCount {
    std::string name;
    long long switches = 0;
};

// Context switches of every thread of this process, by thread id.
std::map<int, ThreadCount> threadSwitches() {
    std::map<int, ThreadCount> counts;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream status(entry.path() / "status");
        ThreadCount count;
        std::string key;
        while (status >> key) {
            if (key == "Name:") {
                status >> count.name;
            } else if (key == "voluntary_ctxt_switches:" || key == "nonvoluntary_ctxt_switches:") {
                long long n = 0;
                status >> n;
                count.switches += n;
            }
            status.ignore(1 << 12, '\n');
        }
        counts[std::stoi(entry.path().filename().string())] = count;
    }
    return counts;
}

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the event loop until `done` holds; false at the deadline.
bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs the event loop, sleeping while nothing happens, for `ms`.
void runFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    QTemporaryDir home;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("ZT_DBUS_ADDRESS", "unix:path=/nonexistent/bus", 0);
    ::setenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8().constData(), 1);
    ::setenv("ZT_PORT_DIR", home.filePath(QStringLiteral("ports")).toUtf8().constData(), 1);
    ::setenv("ZT_REGISTRY", home.filePath(QStringLiteral("scanners.reg")).toUtf8().constData(), 1);
    std::vector<int> ports;
    QStringList portList;
    for (int port = 1; port <= kScanners; ++port) {
        ports.push_back(port);
        portList << QString::number(port);
    }
    if (!talvo::test::writeScannerRegistry(home.filePath(QStringLiteral("scanners.reg")), ports)) return 1;

    QApplication app(argc, argv);
    QProcess simulator;
    simulator.start(QStringLiteral(ZT_SIM_PROGRAM), {QStringLiteral("--dir"), home.filePath(QStringLiteral("ports")),
                                                     QStringLiteral("--ports"), portList.join(QLatin1Char(','))});
    if (!simulator.waitForStarted(5000) ||
        !waitFor([&] { return simulator.canReadLine() && simulator.readAll().contains("ready"); }, 10000)) {
        std::fprintf(stderr, "zt-sim did not start\n");
        return 1;
    }

    int status = 0;
    {
        CMainSheetDlg sheet;
        sheet.show();
        auto& rows = sheet.connectPage()->deviceList()->rows();
        const auto connected = [&rows] {
            int n = 0;
            for (int i = 0; i < rows.size(); ++i) n += talvo::recordState(*rows.rowAt(i)) == 2 ? 1 : 0;
            return n;
        };
        if (!waitFor([&] { return rows.size() == kScanners; }, 10000)) {
            std::fprintf(stderr, "the Connect page did not list %d scanners\n", kScanners);
            status = 1;
        } else {
            sheet.connectPage()->deviceList()->toggleHeaderCheck();
            sheet.connectPage()->connectChecked();
            if (!waitFor([&] { return connected() == kScanners; }, 60000)) {
                std::fprintf(stderr, "only %d of %d scanners connected\n", connected(), kScanners);
                status = 1;
            }
        }
        if (status == 0) {
            runFor(kSettleMs);
            const auto before = threadSwitches();
            const double cpuBefore = cpuSeconds();
            QElapsedTimer clock;
            clock.start();
            runFor(seconds * 1000);
            const double elapsed = double(clock.elapsed()) / 1000.0;
            const double cpu = cpuSeconds() - cpuBefore;
            const auto after = threadSwitches();

            std::vector<ThreadCount> woke;
            long long total = 0;
            for (const auto& [tid, count] : after) {
                const auto earlier = before.find(tid);
                const long long n = count.switches - (earlier != before.end() ? earlier->second.switches : 0);
                total += n;
                woke.push_back({count.name + " (" + std::to_string(tid) + ")", n});
            }
            std::sort(woke.begin(), woke.end(), [](const auto& a, const auto& b) { return a.switches > b.switches; });
            std::printf("%d scanners connected, nothing scanned, %.1f s measured, %zu threads\n", connected(), elapsed,
                        after.size());
            std::printf("wake-ups: %.1f per second (all threads)\n", double(total) / elapsed);
            std::printf("CPU: %.1f ms per minute (%.3f %% of one core)\n", cpu / elapsed * 60000.0,
                        cpu / elapsed * 100.0);
            for (std::size_t i = 0; i < woke.size() && i < 8 && woke[i].switches > 0; ++i)
                std::printf("  %-28s %8.1f wake-ups per second\n", woke[i].name.c_str(),
                            double(woke[i].switches) / elapsed);
        }
        sheet.shutdown();
    }
    simulator.write("quit\n");
    simulator.closeWriteChannel();
    if (!simulator.waitForFinished(5000)) simulator.kill();
    return status;
}
