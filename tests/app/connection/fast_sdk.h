// The SDK's own code with short link waits, for the tests that link its core.
#pragma once

#include "engine/timings.h"
#include "session/session_registry.h"

#include <chrono>

namespace talvo::test {

// Short settle and close waits with the given read and response waits.
inline void useShortSdkWaits(std::chrono::milliseconds readTimeout, std::chrono::milliseconds responseWait) {
    using namespace std::chrono_literals;
    zt::sdk::Timings t;
    t.settleAfterOpen = 10ms;
    t.readTimeout = readTimeout;
    t.responseWait = responseWait;
    t.closeWait = 1000ms;
    zt::sdk::SessionRegistry::instance().setTimings(t);
}

inline void useFastSdk() {
    using namespace std::chrono_literals;
    useShortSdkWaits(60ms, 150ms);
}

// Answers may take their time on a loaded machine: for tests that wait for answers, not for a silent
// scanner's time-outs.
inline void usePatientFastSdk() {
    using namespace std::chrono_literals;
    useShortSdkWaits(200ms, 500ms);
}

}  // namespace talvo::test
