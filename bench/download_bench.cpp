// Download and live-scan benchmarks, each against a baseline measured in the same run:
//  (a) 10 000 stored records from an unthrottled simulator: records per second and CPU per record,
//      against a bare pseudo-terminal round trip per record;
//  (b) the same at 115 200 baud against the wire limit computed from the frame bytes of each request and
//      response (target: at least 90 %);
//  (c) a live scan from the simulator's write to the callback: median and 99th percentile, against a bare
//      pseudo-terminal one-way trip;
//  (d) 16 scanners sending live scans at once for ZT_SOAK_SECONDS (default 30): every scan delivered once
//      and acknowledged.
#include "bench_util.h"
#include "zt/protocol/wire.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace {

using namespace zt;
using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// Frame bytes of one downloaded record: the request (one payload byte) and the answer (type byte and the
// scan record) for the simulator's generated records.
std::size_t recordExchangeBytes(const sim::StoredRecord& r) {
    const std::size_t request = wire::kFrameOverhead + 1;
    const std::size_t answer = wire::kFrameOverhead + 1 + 24 + r.text.size() + 1;
    return request + answer;
}

// Bare round trip of the same bytes: request out, answer back from a peer thread.
double bareRoundTripMicros(std::size_t requestBytes, std::size_t answerBytes, int rounds) {
    bench::PtyPair pty;
    std::thread peer([&] {
        std::vector<std::uint8_t> in(requestBytes), out(answerBytes, 0x41);
        for (int i = 0; i < rounds && bench::readExactly(pty.master, in.data(), in.size()); ++i) {
            (void)!::write(pty.master, out.data(), out.size());
        }
    });
    std::vector<std::uint8_t> request(requestBytes, 0x7E), answer(answerBytes);
    const auto start = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        (void)!::write(pty.slave, request.data(), request.size());
        if (!bench::readExactly(pty.slave, answer.data(), answer.size())) break;
    }
    const double total = microseconds(Clock::now() - start);
    peer.join();
    return total / rounds;
}

void downloadBenchmark(benchmark::State& state, int records, unsigned baud) {
    bench::SimPorts ports(1);
    auto& scanner = ports.sim->scanner(1);
    scanner.fillRecords(records);
    const auto stored = scanner.records();
    std::size_t wireBytes = 0;
    for (const auto& r : stored) wireBytes += recordExchangeBytes(r);
    int error = 0;
    ScannerHandle h = ztInitialize(1, &error, nullptr, nullptr);
    if (h == nullptr) {
        state.SkipWithError("open failed");
        return;
    }
    scanner.setBaud(baud);
    for (auto _ : state) {
        int count = 0;
        const double cpu0 = bench::processCpuSeconds();
        const auto start = Clock::now();
        const int result = ztPrepareCollecting(h, &count, nullptr);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = bench::processCpuSeconds() - cpu0;
        if (result != SDK_OK || count != records) state.SkipWithError("download failed");
        state.SetIterationTime(seconds);
        state.counters["records_per_s"] = records / seconds;
        state.counters["cpu_us_per_record"] = cpu * 1e6 / records;
        if (baud == 0) {
            const double bare = bareRoundTripMicros(
                wire::kFrameOverhead + 1, recordExchangeBytes(stored.front()) - wire::kFrameOverhead - 1, 2000);
            state.counters["bare_records_per_s"] = 1e6 / bare;
            state.counters["vs_bare"] = (records / seconds) / (1e6 / bare);
        } else {
            const double limit = static_cast<double>(baud) / 10.0 / (static_cast<double>(wireBytes) / records);
            state.counters["wire_limit_records_per_s"] = limit;
            state.counters["of_wire_limit"] = (records / seconds) / limit;
        }
    }
}

void BM_Download10000Unthrottled(benchmark::State& state) { downloadBenchmark(state, 10000, 0); }
BENCHMARK(BM_Download10000Unthrottled)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Download2000At115200Baud(benchmark::State& state) { downloadBenchmark(state, 2000, 115200); }
BENCHMARK(BM_Download2000At115200Baud)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// (c) Live scan latency.
struct ScanLatency {
    std::mutex mutex;
    std::condition_variable cv;
    int delivered = 0;
    Clock::time_point at;
};
ScanLatency* gLatency = nullptr;
void onScanForLatency(ScannerHandle, const unsigned char*, int, int) {
    std::lock_guard lock(gLatency->mutex);
    gLatency->at = Clock::now();
    ++gLatency->delivered;
    gLatency->cv.notify_all();
}

std::vector<double> bareOneWayMicros(std::size_t bytes, int rounds) {
    bench::PtyPair pty;
    std::vector<double> samples;
    std::mutex m;
    std::condition_variable cv;
    Clock::time_point readAt;
    int reads = 0;
    std::thread reader([&] {
        std::vector<std::uint8_t> in(bytes);
        for (int i = 0; i < rounds && bench::readExactly(pty.slave, in.data(), in.size()); ++i) {
            std::lock_guard lock(m);
            readAt = Clock::now();
            ++reads;
            cv.notify_all();
        }
    });
    std::vector<std::uint8_t> out(bytes, 0x41);
    for (int i = 0; i < rounds; ++i) {
        const auto sent = Clock::now();
        (void)!::write(pty.master, out.data(), out.size());
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return reads > i; });
        samples.push_back(microseconds(readAt - sent));
    }
    reader.join();
    return samples;
}

void BM_LiveScanLatency(benchmark::State& state) {
    bench::SimPorts ports(1);
    ScanLatency latency;
    gLatency = &latency;
    int error = 0;
    if (ztInitialize(1, &error, nullptr, onScanForLatency) == nullptr) {
        state.SkipWithError("open failed");
        return;
    }
    auto& scanner = ports.sim->scanner(1);
    const int rounds = 2000;
    std::vector<double> samples;
    for (auto _ : state) {
        for (int i = 0; i < rounds; ++i) {
            const auto sent = Clock::now();
            scanner.sendScan("1234567890");
            std::unique_lock lock(latency.mutex);
            latency.cv.wait(lock, [&] { return latency.delivered > i; });
            samples.push_back(microseconds(latency.at - sent));
        }
    }
    const auto bare = bareOneWayMicros(wire::kFrameOverhead + 24 + 11, rounds);
    state.counters["median_us"] = bench::percentile(samples, 50);
    state.counters["p99_us"] = bench::percentile(samples, 99);
    state.counters["bare_median_us"] = bench::percentile(bare, 50);
    state.counters["bare_p99_us"] = bench::percentile(bare, 99);
    gLatency = nullptr;
}
BENCHMARK(BM_LiveScanLatency)->Iterations(1)->Unit(benchmark::kMillisecond);

// (d) Sixteen scanners scanning at once.
std::atomic<long> gSoakDelivered{0};
std::array<std::atomic<long>, 17> gSoakPerPort{};
std::mutex gSoakTextsMutex;
void onSoakScan(ScannerHandle, const unsigned char* record, int length, int) {
    ++gSoakDelivered;
    // Texts are "P<port>-<n>": count per port; duplicates would push a port above what it sent.
    const std::string text(reinterpret_cast<const char*>(record) + 24, static_cast<std::size_t>(length - 25));
    const int port = std::atoi(text.c_str() + 1);
    if (port >= 1 && port <= 16) ++gSoakPerPort[static_cast<std::size_t>(port)];
}

void BM_SixteenScannersSoak(benchmark::State& state) {
    const char* env = std::getenv("ZT_SOAK_SECONDS");
    const int seconds = env != nullptr ? std::atoi(env) : 30;
    bench::SimPorts ports(16);
    gSoakDelivered = 0;
    for (auto& n : gSoakPerPort) n = 0;
    int error = 0;
    for (unsigned port = 1; port <= 16; ++port) {
        if (ztInitialize(port, &error, nullptr, onSoakScan) == nullptr) {
            state.SkipWithError("open failed");
            return;
        }
    }
    long sent = 0;
    std::array<long, 17> sentPerPort{};
    for (auto _ : state) {
        // Each scanner scans every 20 ms (50 a second), a brisk human pace, all at once.
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        auto next = Clock::now();
        while (Clock::now() < end) {
            for (int port = 1; port <= 16; ++port) {
                ports.sim->scanner(port).sendScan("P" + std::to_string(port) + "-" + std::to_string(sentPerPort[port]));
                ++sentPerPort[static_cast<std::size_t>(port)];
                ++sent;
            }
            next += std::chrono::milliseconds(20);
            std::this_thread::sleep_until(next);  // pacing the load generator, not synchronisation
        }
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (gSoakDelivered < sent && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    long acknowledged = 0;
    for (int port = 1; port <= 16; ++port) {
        for (const auto& f : ports.sim->scanner(port).frames()) {
            acknowledged +=
                (f.header.type == static_cast<std::uint8_t>(wire::PacketType::ScanData) && f.header.length == 0) ? 1
                                                                                                                 : 0;
        }
    }
    long duplicatedOrLost = 0;
    for (std::size_t port = 1; port <= 16; ++port)
        duplicatedOrLost += std::labs(gSoakPerPort[port] - sentPerPort[port]);
    state.counters["sent"] = static_cast<double>(sent);
    state.counters["delivered"] = static_cast<double>(gSoakDelivered.load());
    state.counters["acknowledged"] = static_cast<double>(acknowledged);
    state.counters["lost_or_duplicated"] = static_cast<double>(duplicatedOrLost);
    if (gSoakDelivered != sent || acknowledged != sent || duplicatedOrLost != 0) state.SkipWithError("scans lost");
}
BENCHMARK(BM_SixteenScannersSoak)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
