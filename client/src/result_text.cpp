#include "zt/client/result_text.h"

#include "zt330sdk.h"

#include <array>

namespace zt::client {
namespace {

struct ResultText {
    int code;
    std::string_view name;
    std::string_view meaning;
};

// The names are those of zt330sdk.h; the meanings say what the code means to a person.
constexpr std::array kResults{
    ResultText{SDK_OK, "SDK_OK", "done"},
    ResultText{SDK_ERR_OPEN_FAILED, "SDK_ERR_OPEN_FAILED", "the port could not be opened"},
    ResultText{SDK_ERR_BAD_PORT, "SDK_ERR_BAD_PORT", "the port number is above 100"},
    ResultText{SDK_ERR_PORT_UNAVAILABLE, "SDK_ERR_PORT_UNAVAILABLE", "no such port"},
    ResultText{SDK_ERR_PORT_IN_USE, "SDK_ERR_PORT_IN_USE", "the port is already open"},
    ResultText{SDK_ERR_NOT_CONNECTED, "SDK_ERR_NOT_CONNECTED", "the scanner's link is not up"},
    ResultText{SDK_ERR_UNKNOWN_HANDLE, "SDK_ERR_UNKNOWN_HANDLE", "the scanner is not open"},
    ResultText{SDK_ERR_ALREADY_CONNECTED, "SDK_ERR_ALREADY_CONNECTED", "the scanner is already connected"},
    ResultText{SDK_ERR_LINK, "SDK_ERR_LINK", "no matching answer from the scanner"},
    ResultText{SDK_ERR_TIMEOUT, "SDK_ERR_TIMEOUT", "the scanner did not answer"},
    ResultText{SDK_ERR_ABORTED, "SDK_ERR_ABORTED", "cut short because the port is being closed"},
    ResultText{SDK_ERR_BUSY, "SDK_ERR_BUSY", "another operation is running on the scanner"},
    ResultText{SDK_ERR_INVALID_HANDLE, "SDK_ERR_INVALID_HANDLE", "the scanner is not open"},
    ResultText{SDK_ERR_PORT_LOST, "SDK_ERR_PORT_LOST", "the scanner is gone"},
    ResultText{SDK_ERR_INVALID_ARG, "SDK_ERR_INVALID_ARG", "a value is out of range"},
    ResultText{SDK_ERR_DEVICE_REFUSED, "SDK_ERR_DEVICE_REFUSED", "the scanner refused"},
    ResultText{SDK_ERR_UNSUPPORTED_OPTION, "SDK_ERR_UNSUPPORTED_OPTION", "the scanner has no such symbology option"},
};

const ResultText* find(int code) {
    for (const auto& result : kResults) {
        if (result.code == code) return &result;
    }
    return nullptr;
}

}  // namespace

std::string_view resultName(int code) {
    const auto* result = find(code);
    return result != nullptr ? result->name : "SDK_ERR_UNKNOWN";
}

std::string_view resultMeaning(int code) {
    const auto* result = find(code);
    return result != nullptr ? result->meaning : "an unknown result";
}

std::string describeResult(int code) {
    return std::string(resultName(code)) + " (" + std::to_string(code) + "): " + std::string(resultMeaning(code));
}

}  // namespace zt::client
