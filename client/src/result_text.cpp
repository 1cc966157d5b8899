#include "zt/client/result_text.h"

#include "zt330sdk.h"

namespace zt::client {

// The SDK's header holds the one table of names and meanings; these wrap it for C++ callers.
std::string_view resultName(int code) { return ztResultName(code); }

std::string_view resultMeaning(int code) { return ztResultText(code); }

std::string describeResult(int code) {
    return std::string(resultName(code)) + " (" + std::to_string(code) + "): " + std::string(resultMeaning(code));
}

}  // namespace zt::client
