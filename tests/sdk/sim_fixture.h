// Test fixtures that run the SDK against simulated scanners over real pseudo-terminals.
#pragma once

#include "engine/timings.h"
#include "zt/sim/simulator.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace zt::sdk::test {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

// Short waits keep the suite fast. The response wait stays well above any answer time of a loaded
// machine, so that tests which count requests never see an unasked repeat.
inline Timings fastTimings() {
    Timings t;
    t.settleAfterOpen = 10ms;
    t.readTimeout = 60ms;
    t.responseWait = 400ms;
    t.closeWait = 1000ms;
    return t;
}

// A private folder of COM links with a simulator, named by ZT_PORT_DIR for the code under test.
class SimTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zt-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ::setenv("ZT_PORT_DIR", dir_.c_str(), 1);
        sim_ = std::make_unique<sim::Simulator>(dir_);
    }
    void TearDown() override {
        sim_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    sim::SimScanner& addScanner(int port) { return sim_->addScanner(port); }

    std::filesystem::path dir_;
    std::unique_ptr<sim::Simulator> sim_;
};

// Waits for a condition that another thread makes true, with a deadline that fails the test.
class Waiter {
public:
    void notify(const std::function<void()>& change) {
        {
            std::lock_guard lock(mutex_);
            change();
        }
        cv_.notify_all();
    }
    [[nodiscard]] bool waitUntil(const std::function<bool()>& condition, Ms timeout = 5000ms) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, timeout, condition);
    }
    template <class F>
    auto read(F&& f) {
        std::lock_guard lock(mutex_);
        return f();
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
};

// Milliseconds between two recorded frames.
inline long long msBetween(const sim::ReceivedFrame& a, const sim::ReceivedFrame& b) {
    return std::chrono::duration_cast<Ms>(b.at - a.at).count();
}

// A scan record: tag, scanner time, two doubles, then the text and its zero byte.
inline sim::Bytes scanRecord(const std::string& text, std::uint8_t tag = 0x11) {
    sim::Bytes r{tag, 126, 0, 2, 10, 20, 30, 6};
    r.resize(24, 0);
    r.insert(r.end(), text.begin(), text.end());
    r.push_back(0);
    return r;
}

}  // namespace zt::sdk::test
