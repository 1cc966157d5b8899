// Measures, in one run: (a) a bare pseudo-terminal round trip of a handshake-sized frame answered by a
// peer thread; (b) a full SDK exchange (exported call, queue, command thread, link, receive thread)
// against the simulator; their ratio and the CPU time per exchange; and the resident memory that 16 open
// handles add.
#include "bench_util.h"
#include "zt/protocol/wire.h"
#include "zt/sim/simulator.h"
#include "zt330sdk.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace zt;

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// (a) Handshake request (11 bytes) out through the slave, answer (10 bytes) back from a peer thread.
void BM_BarePtyRoundTrip(benchmark::State& state) {
    bench::PtyPair pty;
    const int master = pty.master;
    const int slave = pty.slave;
    std::atomic<bool> stop{false};
    std::thread peer([&] {
        std::array<std::uint8_t, 11> request{};
        const std::array<std::uint8_t, 10> answer{wire::kSync, 0, 0, 0, 0x02, 1, 0, 0, 0, 0};
        while (!stop.load() && bench::readExactly(master, request.data(), request.size())) {
            (void)!::write(master, answer.data(), answer.size());
        }
    });
    const std::array<std::uint8_t, 11> request{wire::kSync, 0, 0, 0, 0x82, 2, 0, 0x31, 0x01, 0, 0};
    std::array<std::uint8_t, 10> answer{};
    const double cpuStart = bench::processCpuSeconds();
    for (auto _ : state) {
        (void)!::write(slave, request.data(), request.size());
        if (!bench::readExactly(slave, answer.data(), answer.size())) state.SkipWithError("peer did not answer");
    }
    state.counters["cpu_us_per_exchange"] =
        (bench::processCpuSeconds() - cpuStart) * 1e6 / static_cast<double>(state.iterations());
    stop = true;
    (void)!::write(slave, request.data(), request.size());  // wakes the peer's read
    peer.join();
}
BENCHMARK(BM_BarePtyRoundTrip)->UseRealTime()->MinTime(2.0);

// (b) ztGetBatteryStatus: exported call, busy lock, queue, command thread, frame write, receive thread,
// hand-off, codec.
void BM_SdkExchange(benchmark::State& state) {
    bench::SimPorts ports(1);
    ports.sim->scanner(1).teach(wire::Command::Battery, [](auto&, auto) { return sim::Bytes{0, 1, 2}; });
    int error = 0;
    ScannerHandle h = ztInitialize(1, &error, nullptr, nullptr);
    if (h == nullptr) {
        state.SkipWithError("open failed");
        return;
    }
    int a = 0, b = 0;
    const double cpuStart = bench::processCpuSeconds();
    for (auto _ : state) {
        if (ztGetBatteryStatus(h, &a, &b) != SDK_OK) state.SkipWithError("exchange failed");
    }
    state.counters["cpu_us_per_exchange"] =
        (bench::processCpuSeconds() - cpuStart) * 1e6 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SdkExchange)->UseRealTime()->MinTime(2.0);

// Resident memory added by 16 open handles (the simulator's scanners are counted before).
void BM_SixteenHandlesResidentMemory(benchmark::State& state) {
    for (auto _ : state) {
        bench::SimPorts ports(16);
        int error = 0;
        // One open and close first, so that the dispatcher and the allocator's arenas exist in both samples.
        (void)ztDeinitialize(ztInitialize(16, &error, nullptr, nullptr), 0);
        const long before = residentKiB();
        std::vector<ScannerHandle> handles;
        for (unsigned port = 1; port <= 16; ++port) handles.push_back(ztInitialize(port, &error, nullptr, nullptr));
        const long after = residentKiB();
        state.counters["added_KiB"] = static_cast<double>(after - before);
        for (auto* h : handles) {
            if (h == nullptr) state.SkipWithError("open failed");
        }
    }
}
BENCHMARK(BM_SixteenHandlesResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's real time per iteration for the ratio printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto bare = reporter.times.find("BM_BarePtyRoundTrip/min_time:2.000/real_time");
    const auto sdk = reporter.times.find("BM_SdkExchange/min_time:2.000/real_time");
    if (bare != reporter.times.end() && sdk != reporter.times.end() && bare->second > 0) {
        std::printf("\nSDK exchange / bare pty round trip = %.2f (target: at most 3)\n", sdk->second / bare->second);
    }
    benchmark::Shutdown();
    return 0;
}
