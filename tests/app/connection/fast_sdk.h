// The SDK's own code with short link waits, for the tests that link its core.
#pragma once

#include "engine/timings.h"
#include "session/session_registry.h"

namespace talvo::test {

inline void useFastSdk() {
    using namespace std::chrono_literals;
    zt::sdk::Timings t;
    t.settleAfterOpen = 10ms;
    t.readTimeout = 60ms;
    t.responseWait = 150ms;
    t.closeWait = 1000ms;
    zt::sdk::SessionRegistry::instance().setTimings(t);
}

// Short settle, but answers may take their time on a loaded machine: for tests that wait for answers,
// not for a silent scanner's time-outs.
inline void usePatientFastSdk() {
    using namespace std::chrono_literals;
    zt::sdk::Timings t;
    t.settleAfterOpen = 10ms;
    t.readTimeout = 200ms;
    t.responseWait = 500ms;
    t.closeWait = 1000ms;
    zt::sdk::SessionRegistry::instance().setTimings(t);
}

}  // namespace talvo::test
