// A simulated scanner on COM5, opened through the C API with short waits.
#pragma once

#include "session/session_registry.h"
#include "sim_fixture.h"
#include "zt330sdk.h"

namespace zt::sdk::test {

class OpenScannerTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        SessionRegistry::instance().setTimings(fastTimings());
        scanner_ = &addScanner(5);
        int error = 0;
        handle_ = ztInitialize(5, &error, nullptr, nullptr);
        ASSERT_NE(handle_, nullptr) << "open failed: " << error;
        scanner_->clearFrames();
    }
    void TearDown() override {
        (void)ztDeinitialize(nullptr, 1);
        SessionRegistry::instance().setTimings(Timings{});
        SimTest::TearDown();
    }

    // Payloads of the requests of one command the scanner received, in order.
    std::vector<sim::Bytes> requests(wire::Command command) const {
        std::vector<sim::Bytes> out;
        for (const auto& f : scanner_->frames()) {
            if (f.header.type == (static_cast<std::uint8_t>(command) | wire::kRequestBit)) out.push_back(f.payload);
        }
        return out;
    }
    // Teaches one fixed answer for a command.
    void answer(wire::Command command, sim::Bytes payload) {
        scanner_->teach(command, [payload](auto&, auto) { return payload; });
    }
    // Every exchange so far sent nothing? (checks that fail before the exchange must send nothing)
    bool nothingSent() const { return scanner_->frames().empty(); }

    sim::SimScanner* scanner_ = nullptr;
    ::ScannerHandle handle_ = nullptr;
};

}  // namespace zt::sdk::test
