// Shared pieces of the benchmarks: process CPU time, a folder of simulated scanners, percentiles.
#pragma once

#include "session/session_registry.h"
#include "zt/sim/simulator.h"
#include "zt330sdk.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

namespace zt::bench {

inline double processCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Scanners COM1..COM<count> in a private folder that the SDK is pointed at; the SDK is shut down first
// when this goes.
struct SimPorts {
    explicit SimPorts(int count) {
        char pattern[] = "/tmp/zt-bench-XXXXXX";
        if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
        dir = pattern;
        ::setenv("ZT_PORT_DIR", dir.c_str(), 1);
        sim = std::make_unique<sim::Simulator>(dir);
        for (int port = 1; port <= count; ++port) sim->addScanner(port);
        sdk::Timings t;
        t.settleAfterOpen = std::chrono::milliseconds(1);  // only the open is shortened; exchanges are real
        sdk::SessionRegistry::instance().setTimings(t);
    }
    ~SimPorts() {
        (void)ztDeinitialize(nullptr, 1);
        sim.reset();
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
    std::unique_ptr<sim::Simulator> sim;
};

// A raw pseudo-terminal pair for the baselines: the master plays the scanner, the slave the host's side.
struct PtyPair {
    PtyPair() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        (void)::grantpt(master);
        (void)::unlockpt(master);
        slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    ~PtyPair() {
        ::close(slave);
        ::close(master);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    int master = -1;
    int slave = -1;
};

// Reads exactly `n` bytes, waiting with poll() as the SDK's link does; false after a second of silence.
inline bool readExactly(int fd, std::uint8_t* out, std::size_t n) {
    while (n > 0) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 1000) <= 0) return false;
        const ssize_t got = ::read(fd, out, n);
        if (got <= 0) return false;
        out += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

// The p-th percentile (0..100) of `values`.
inline double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::ranges::sort(values);
    const auto index = static_cast<std::size_t>(p / 100.0 * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

}  // namespace zt::bench
