// The device settings sheet over one simulated scanner, with the shipped SDK library:
//   1. opening the sheet and showing every page's values, against the same SDK reads made one after
//      the other on one thread in the same run (goal: the program adds under 10 %);
//   2. the longest stall of the user-interface thread while the sheet reads a silent scanner (a 5 ms
//      timer records the gaps between its ticks; goal: under 50 ms), and how long closing the sheet and
//      ending the configure worker take then.
#include "connection/record_fields.h"
#include "pages/configure/configure_worker.h"
#include "pages/configure/sheet/config_tab_page.h"
#include "pages/configure/sheet/setting_sheet_dlg.h"
#include "pages/configure/sheet/symbology_table.h"
#include "zt/sim/simulator.h"
#include "zt330sdk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kPort = 7;
constexpr int kRounds = 7;
constexpr std::size_t kReads = 46;  // 7 General, 34 Symbology, 2 Prefix/Suffix, 1 Trigger, 2 System
// The scanner's link speed (Bluetooth serial profile), so that an exchange takes as long as on a scanner.
constexpr unsigned kBaud = 115200;
constexpr int kSilentWindowMs = 8000;

std::filesystem::path makeFolder() {
    std::string pattern = "/tmp/talvo-config-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    return pattern;
}

// Every read the five pages make for one scanner, in their order.
void readAllAlone(ScannerHandle h) {
    int a = 0;
    int b = 0;
    std::array<unsigned char, 4> version{};
    std::array<char, 64> text{};
    (void)ztGetBuzzerVolume(h, &a);
    (void)ztGetConnectBeepDelayTime(h, &a);
    (void)ztGetDisconnectBeepDelayTime(h, &a);
    (void)ztGetBatteryStatus(h, &a, &b);
    (void)ztGetStorageStatus(h, &a);
    (void)ztGetImageVersion(h, version.data());
    (void)ztGetBluetoothSerial(h, text.data());
    for (const auto& option : talvo::config::symbology::kShownSymbologyOptions) {
        (void)ztGetSymbologyOption(h, option.group, option.item, &a);
    }
    (void)ztGetPrefix(h, text.data(), &a);
    (void)ztGetSuffix(h, text.data(), &a);
    (void)ztGetScanMode(h, &a, &b);
    (void)ztGetSleepModeTime(h, &a);
    unsigned char flag = 0;
    (void)ztGetCancelBtnStatus(h, &flag);
}

[[nodiscard]] bool anyBusy(const CSettingSheetDlg& sheet) {
    for (int tab = 0; tab < CSettingSheetDlg::TabCount; ++tab) {
        if (sheet.page(tab) != nullptr && sheet.page(tab)->busy()) return true;
    }
    return false;
}

// Opens the sheet, shows every tab at once and waits until no page reads any more.
[[nodiscard]] double openAllPagesMs(CSettingSheetDlg& sheet, DeviceRecord* record) {
    QElapsedTimer timer;
    timer.start();
    std::array<DeviceRecord*, 1> devices{record};
    (void)sheet.openForDevices(devices);
    // Woken by the pages' own notes (a polling wait would add its polling period).
    QEventLoop loop;
    for (int tab = 0; tab < CSettingSheetDlg::TabCount; ++tab) {
        QObject::connect(sheet.page(tab), &talvo::config::ConfigTabPage::busyChanged, &loop, [&] {
            if (!anyBusy(sheet)) loop.quit();
        });
    }
    for (int tab = 0; tab < CSettingSheetDlg::TabCount; ++tab) sheet.tabs()->setCurrentIndex(tab);
    if (anyBusy(sheet)) loop.exec();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    sheet.reject();
    return ms;
}

[[nodiscard]] double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::filesystem::path folder = makeFolder();
    ::setenv("ZT_PORT_DIR", folder.c_str(), 1);
    ::setenv("ZT_REGISTRY", (folder / "none.reg").c_str(), 1);
    QApplication app(argc, argv);

    zt::sim::Simulator sim(folder);
    zt::sim::SimScanner& scanner = sim.addScanner(kPort);
    int error = 0;
    ScannerHandle handle = ztInitialize(kPort, &error, nullptr, nullptr);
    if (handle == nullptr) {
        std::fprintf(stderr, "open failed: %d\n", error);
        return 1;
    }
    scanner.setBaud(kBaud);
    DeviceRecord record(kPort, L"Bench scanner");
    talvo::updateFields(record, [handle](talvo::RecordFields& f) { f.handle = handle; });

    auto worker = std::make_unique<talvo::config::ConfigureWorker>();
    QObject owner;
    auto sheet = std::make_unique<CSettingSheetDlg>(&owner, *worker);

    std::vector<double> alone;
    std::vector<double> program;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        readAllAlone(handle);
        alone.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        const std::size_t before = scanner.frames().size();  // a request frame per read
        program.push_back(openAllPagesMs(*sheet, &record));
        if (scanner.frames().size() - before != kReads) std::fprintf(stderr, "the sheet made other reads\n");
    }
    const double a = median(alone);
    const double p = median(program);
    std::printf(
        "open sheet, all five pages read: %.1f ms (median of %d, %u baud); the same %zu SDK reads alone: "
        "%.1f ms; added %.1f %% (goal < 10 %%)\n",
        p, kRounds, kBaud, kReads, a, (p - a) / a * 100.0);

    // A silent scanner: the General page's reads each wait for their time-outs.
    scanner.staySilent(100000);
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 worst = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    ticker.start(5);
    std::array<DeviceRecord*, 1> devices{&record};
    (void)sheet->openForDevices(devices);
    sheet->tabs()->setCurrentIndex(CSettingSheetDlg::SymbologyTab);
    QTest::qWait(kSilentWindowMs);  // the measuring window itself, not a synchronisation
    ticker.stop();
    std::printf("silent scanner: longest user-interface stall %.1f ms over %d ms of reading (goal < 50 ms)\n",
                static_cast<double>(worst) / 1e6, kSilentWindowMs);

    QElapsedTimer closing;
    closing.start();
    sheet->reject();
    const double closeMs = static_cast<double>(closing.nsecsElapsed()) / 1e6;
    sheet.reset();
    worker.reset();
    std::printf("closing the sheet: %.1f ms; ending the worker (its call in progress ends first): %.1f ms\n", closeMs,
                static_cast<double>(closing.nsecsElapsed()) / 1e6 - closeMs);
    scanner.staySilent(0);
    (void)ztDeinitialize(nullptr, 1);
    std::filesystem::remove_all(folder);
    return 0;
}
