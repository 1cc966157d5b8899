// The header's result names and texts: every code has its own spelling, and an unknown value is said to
// be unknown rather than taken for another.
#include "zt330sdk.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

#define EXPECT_NAMED(code)                                  \
    do {                                                    \
        EXPECT_STREQ(ztResultName(code), #code);            \
        EXPECT_STRNE(ztResultText(code), "unknown result"); \
        texts.insert(ztResultText(code));                   \
    } while (false)

TEST(ResultNames, EveryResultIsNamedAsSpelledAndExplained) {
    std::set<std::string> texts;
    EXPECT_NAMED(SDK_OK);
    EXPECT_NAMED(SDK_SHUTDOWN_DONE);
    EXPECT_NAMED(SDK_SHUTDOWN_NOT_RUNNING);
    EXPECT_NAMED(SDK_ERR_OPEN_FAILED);
    EXPECT_NAMED(SDK_ERR_BAD_PORT);
    EXPECT_NAMED(SDK_ERR_PORT_UNAVAILABLE);
    EXPECT_NAMED(SDK_ERR_PORT_IN_USE);
    EXPECT_NAMED(SDK_ERR_NOT_CONNECTED);
    EXPECT_NAMED(SDK_ERR_UNKNOWN_HANDLE);
    EXPECT_NAMED(SDK_ERR_ALREADY_CONNECTED);
    EXPECT_NAMED(SDK_ERR_LINK);
    EXPECT_NAMED(SDK_ERR_TIMEOUT);
    EXPECT_NAMED(SDK_ERR_ABORTED);
    EXPECT_NAMED(SDK_ERR_BUSY);
    EXPECT_NAMED(SDK_ERR_INVALID_HANDLE);
    EXPECT_NAMED(SDK_ERR_PORT_LOST);
    EXPECT_NAMED(SDK_ERR_INVALID_ARG);
    EXPECT_NAMED(SDK_ERR_DEVICE_REFUSED);
    EXPECT_NAMED(SDK_ERR_UNSUPPORTED_OPTION);
    EXPECT_EQ(texts.size(), 18u);  // -6 and -16 both mean the handle is not open
}

TEST(ResultNames, UnknownValuesAreNotTakenForKnownOnes) {
    for (const int unknown : {-10, -11, -13, -14, -20, -22, 3, -1000}) {
        EXPECT_STREQ(ztResultName(unknown), "SDK_UNKNOWN_RESULT") << unknown;
        EXPECT_STREQ(ztResultText(unknown), "unknown result") << unknown;
    }
}

}  // namespace
