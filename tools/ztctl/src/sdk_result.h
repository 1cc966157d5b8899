// Names and meanings of the SDK's result codes, for messages such as
// "COM5: SDK_ERR_TIMEOUT (-9): the scanner did not answer".
#pragma once

#include <string>
#include <string_view>

namespace ztctl {

[[nodiscard]] std::string_view resultName(int code);
[[nodiscard]] std::string_view resultMeaning(int code);
// "SDK_ERR_TIMEOUT (-9): the scanner did not answer".
[[nodiscard]] std::string describeResult(int code);

// Results after which a scanner is not worth asking again in the same run: it is gone or silent.
[[nodiscard]] bool linkFailure(int code);

}  // namespace ztctl
