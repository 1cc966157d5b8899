// TalvoScan's download and live-barcode roads, each against a baseline of the same run:
//  (a) Download page: records per second and CPU per record of a download through the page's worker
//      (temporary file, lines, rename) against the SDK's own download (ztPrepareCollecting and
//      ztCollectingOnce into memory) of the same scanner, alternated, medians of ZT_BENCH_ROUNDS (5);
//  (b) live barcodes: 16 scanners scanning every 20 ms for ZT_LIVE_SECONDS (3): from the simulator's
//      write to the row in the real-time list's model and to the last key event of the barcode leaving
//      the typing worker (recording output, unpaced); median and 99th percentile, and per scanner
//      every barcode once, in order, in the list and in the typed text.
#include "bench_util.h"

#include "connection/connection_manager.h"
#include "connection/record_fields.h"
#include "keyboard/typing_worker.h"
#include "messages/app_messages.h"
#include "pages/download/download_page.h"
#include "pages/download/real_time_data_list.h"
#include "realtime/real_time_data.h"
#include "realtime/real_time_row.h"
#include "recording_keyboard.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int envInt(const char* name, int fallback) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::atoi(v) : fallback;
}

// Runs the user-interface thread's event loop (as the program does: asleep until an event arrives)
// until `done` holds or the time is up.
bool runUntil(const std::function<bool()>& done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(50);
    loop.exec();
    return done();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

// Answers the page's MsgGetConnected from the manager.
class Sheet : public QWidget {
public:
    talvo::ConnectionManager* manager = nullptr;

protected:
    void customEvent(QEvent* event) override {
        auto* m = talvo::AppEvent::from(event);
        if (m == nullptr || m->message() != talvo::AppMessage::GetConnected) return;
        m->setResult(
            manager->getConnected(talvo::argPointer<DeviceRecord*>(m->second()), static_cast<int>(m->first())));
    }
};

struct Sample {
    double seconds;
    double cpu;
};

Sample sdkDownload(ScannerHandle handle, int expected) {
    const double cpu0 = zt::bench::processCpuSeconds();
    const auto t0 = Clock::now();
    int count = 0;
    (void)ztPrepareCollecting(handle, &count, nullptr);
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(count));
    char text[3072];
    for (int i = 0; i < count; ++i) {
        int tag = 0, length = 0;
        unsigned char time[7];
        double v1 = 0, v2 = 0;
        if (ztCollectingOnce(handle, i, &tag, time, &v1, &v2, text, &length) == SDK_OK)
            texts.emplace_back(text, static_cast<std::size_t>(length));
    }
    if (count != expected) std::fprintf(stderr, "SDK download: %d of %d records\n", count, expected);
    return {std::chrono::duration<double>(Clock::now() - t0).count(), zt::bench::processCpuSeconds() - cpu0};
}

Sample pageDownload(CDownloadPage& page) {
    QSignalSpy finished(&page, &CDownloadPage::downloadFinished);
    const double cpu0 = zt::bench::processCpuSeconds();
    const auto t0 = Clock::now();
    page.start();
    if (!finished.wait(120000)) std::fprintf(stderr, "page download did not finish\n");
    return {std::chrono::duration<double>(Clock::now() - t0).count(), zt::bench::processCpuSeconds() - cpu0};
}

void downloadBench() {
    const int records = envInt("ZT_BENCH_RECORDS", 5000);
    const int rounds = envInt("ZT_BENCH_ROUNDS", 5);
    zt::bench::SimPorts ports(1);
    ports.sim->scanner(1).fillRecords(records);
    char pattern[] = "/tmp/talvo-bench-data-XXXXXX";
    const std::filesystem::path data = ::mkdtemp(pattern);

    Sheet sheet;
    auto* page = new CDownloadPage(&sheet, std::chrono::milliseconds(0));
    page->setRequestReceiver(&sheet);
    page->setDataFolder(QString::fromStdString(data.string()));
    talvo::openSendGate();
    talvo::ConnectionManager manager({nullptr, page, nullptr, nullptr}, {});
    sheet.manager = &manager;
    DeviceRecord record(1, L"ZT-550 bench");
    (void)manager.connectRequest(0, &record);
    if (!QTest::qWaitFor([&] { return manager.connected().size() == 1; }, 10000)) {
        std::fprintf(stderr, "cannot connect the simulated scanners\n");
        return;
    }
    QTest::qWait(200);  // the clock is set after the connect; let that exchange end
    // The same scanner and store for both, so that only the road differs.
    const ScannerHandle bare = talvo::recordHandle(record);

    std::vector<double> sdkRate, pageRate, sdkCpu, pageCpu;
    for (int round = 0; round < rounds; ++round) {
        // Alternating which goes first keeps warm-up and the machine's other load from favouring one.
        Sample s{}, p{};
        if (round % 2 == 0) {
            s = sdkDownload(bare, records);
            p = pageDownload(*page);
        } else {
            p = pageDownload(*page);
            s = sdkDownload(bare, records);
        }
        sdkRate.push_back(records / s.seconds);
        pageRate.push_back(records / p.seconds);
        sdkCpu.push_back(s.cpu / records * 1e6);
        pageCpu.push_back(p.cpu / records * 1e6);
    }
    const double sr = median(sdkRate), pr = median(pageRate);
    std::printf("(a) download of %d records, median of %d rounds\n", records, rounds);
    std::printf("    SDK's own download : %9.0f records/s  %6.2f us CPU/record\n", sr, median(sdkCpu));
    std::printf("    the page's worker  : %9.0f records/s  %6.2f us CPU/record\n", pr, median(pageCpu));
    std::printf("    page adds          : %6.1f %% time, %6.1f %% CPU (target < 10 %% time)\n", (sr / pr - 1) * 100,
                (median(pageCpu) / median(sdkCpu) - 1) * 100);
    manager.shutdown();
    page->shutdown();
    std::filesystem::remove_all(data);
}

void liveBench() {
    constexpr int kScanners = 16;
    const int seconds = envInt("ZT_LIVE_SECONDS", 3);
    zt::bench::SimPorts ports(kScanners);

    Sheet sheet;
    auto* page = new CDownloadPage(&sheet, std::chrono::milliseconds(0));
    page->syncCheck()->setChecked(true);
    talvo::openSendGate();
    talvo::ConnectionManager manager({nullptr, page, nullptr, nullptr}, {});
    sheet.manager = &manager;

    std::mutex mutex;
    std::map<std::string, Clock::time_point> written;
    std::map<std::uint64_t, std::string> sequences;
    std::vector<double> toRow, toKeys;
    std::map<int, std::vector<int>> rowOrder;

    auto recording =
        std::make_unique<talvo::keyboard::RecordingKeyboard>(talvo::keyboard::RecordingKeyboard::Pacing::Unpaced);
    auto* keys = recording.get();
    talvo::keyboard::TypingWorker typing(std::move(recording), 1, {}, [&](std::uint64_t sequence) {
        const auto now = Clock::now();
        std::lock_guard lock(mutex);
        toKeys.push_back(std::chrono::duration<double, std::milli>(now - written[sequences[sequence]]).count());
    });
    talvo::RealTimeData realTime(page, nullptr,
                                 [&](const QString& text) {
                                     // Under the lock, so that the observer finds the sequence.
                                     std::lock_guard lock(mutex);
                                     if (auto s = typing.enqueue(text)) sequences[*s] = text.toStdString();
                                 },
                                 {[] { return true; }, [] { return false; }, {}});
    manager.setScanDataHandler(
        [&](ScannerHandle h, const unsigned char* r, int l, int k) { realTime.onScanData(h, r, l, k); });
    QObject::connect(page->realTimeList()->model(), &QAbstractItemModel::rowsInserted, [&] {
        const auto now = Clock::now();
        const std::string text = page->realTimeList()->rowAt(0)->data.toStdString();
        std::lock_guard lock(mutex);
        toRow.push_back(std::chrono::duration<double, std::milli>(now - written[text]).count());
        rowOrder[std::stoi(text.substr(1, text.find('-') - 1))].push_back(std::stoi(text.substr(text.find('-') + 1)));
    });

    std::vector<std::unique_ptr<DeviceRecord>> records;
    for (int port = 1; port <= kScanners; ++port) {
        records.push_back(std::make_unique<DeviceRecord>(port, L"ZT-550 " + std::to_wstring(port)));
        (void)manager.connectRequest(0, records.back().get());
    }
    if (!QTest::qWaitFor([&] { return manager.connected().size() == kScanners; }, 60000)) {
        std::fprintf(stderr, "cannot connect 16 simulated scanners\n");
        return;
    }
    QTest::qWait(300);

    const int perScanner = seconds * 50;
    std::jthread sender([&](std::stop_token stop) {
        auto next = Clock::now();
        for (int n = 0; n < perScanner && !stop.stop_requested(); ++n) {
            for (int port = 1; port <= kScanners; ++port) {
                const std::string text = "S" + std::to_string(port) + "-" + std::to_string(n);
                {
                    std::lock_guard lock(mutex);
                    written[text] = Clock::now();
                }
                ports.sim->scanner(port).sendScan(text);
            }
            next += std::chrono::milliseconds(20);
            std::this_thread::sleep_until(next);  // the scanners' pace, not a synchronisation
        }
    });
    const std::size_t total = static_cast<std::size_t>(perScanner) * kScanners;
    (void)runUntil(
        [&] {
            std::lock_guard lock(mutex);
            return toRow.size() >= total && toKeys.size() >= total;
        },
        (seconds + 30) * 1000);
    sender.join();
    (void)typing.waitIdle(std::chrono::seconds(10));

    std::lock_guard lock(mutex);
    int badRows = 0;
    for (const auto& [port, order] : rowOrder) {
        for (std::size_t i = 0; i < order.size(); ++i) badRows += order[i] != static_cast<int>(i);
        badRows += std::abs(static_cast<int>(order.size()) - perScanner);
    }
    std::map<int, int> nextTyped;
    int badTyped = 0;
    for (const auto& barcode : keys->barcodes()) {
        const std::string text(barcode.begin(), barcode.end());
        const int port = std::stoi(text.substr(1, text.find('-') - 1));
        badTyped += std::stoi(text.substr(text.find('-') + 1)) != nextTyped[port]++;
    }
    for (int port = 1; port <= kScanners; ++port) badTyped += nextTyped[port] != perScanner;
    std::printf("(b) live barcodes: %d scanners every 20 ms for %d s = %zu barcodes\n", kScanners, seconds, total);
    std::printf("    write -> row in the model : median %6.2f ms  p99 %6.2f ms  (%zu rows)\n", median(toRow),
                percentile(toRow, 0.99), toRow.size());
    std::printf("    write -> keys typed       : median %6.2f ms  p99 %6.2f ms  (%zu barcodes)\n", median(toKeys),
                percentile(toKeys, 0.99), toKeys.size());
    std::printf("    lost, duplicated or out of order: %d in the list, %d typed\n", badRows, badTyped);
    (void)typing.shutdown();
    manager.shutdown();
    page->shutdown();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    downloadBench();
    liveBench();
    return 0;
}
