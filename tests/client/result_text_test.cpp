// Result texts: every code of the SDK's header has its name and a meaning.
#include "zt/client/result_text.h"

#include "zt330sdk.h"

#include <gtest/gtest.h>

namespace zt::client {
namespace {

TEST(ResultText, NameAndMeaning) {
    EXPECT_EQ(describeResult(SDK_ERR_TIMEOUT), "SDK_ERR_TIMEOUT (-9): the scanner did not answer");
    EXPECT_EQ(resultName(SDK_OK), "SDK_OK");
    EXPECT_EQ(resultName(SDK_ERR_UNSUPPORTED_OPTION), "SDK_ERR_UNSUPPORTED_OPTION");
    EXPECT_EQ(resultName(SDK_SHUTDOWN_DONE), "SDK_SHUTDOWN_DONE");
    for (const int code : {-10, -11, -13, -14, -20, -22, 3, -99}) {
        EXPECT_EQ(resultName(code), "SDK_UNKNOWN_RESULT") << code;
        EXPECT_EQ(resultMeaning(code), "unknown result") << code;
    }
    EXPECT_EQ(describeResult(-99), "SDK_UNKNOWN_RESULT (-99): unknown result");
}

}  // namespace
}  // namespace zt::client
