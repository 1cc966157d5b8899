// Names and meanings of the SDK's result codes, for messages such as
// "COM5: SDK_ERR_TIMEOUT (-9): the scanner did not answer". The one table of them for every client.
#pragma once

#include <string>
#include <string_view>

namespace zt::client {

// "SDK_ERR_TIMEOUT"; "SDK_UNKNOWN_RESULT" for a code the SDK does not define (the names of zt330sdk.h).
[[nodiscard]] std::string_view resultName(int code);
// "the scanner did not answer"; "unknown result" for a code the SDK does not define.
[[nodiscard]] std::string_view resultMeaning(int code);
// "SDK_ERR_TIMEOUT (-9): the scanner did not answer".
[[nodiscard]] std::string describeResult(int code);

}  // namespace zt::client
