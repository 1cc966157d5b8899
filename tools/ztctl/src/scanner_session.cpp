#include "scanner_session.h"

#include "zt/client/display_form.h"
#include "ports.h"
#include "sdk_result.h"

#include <cstdio>
#include <thread>
#include <utility>

namespace ztctl {

using zt::client::displayForm;

OpenScanner::OpenScanner(unsigned port, std::optional<std::string> name, ScannerHandle handle, int openResult)
    : port_(port), name_(std::move(name)), handle_(handle), openResult_(openResult) {}

OpenScanner::OpenScanner(OpenScanner&& other) noexcept
    : port_(other.port_),
      name_(std::move(other.name_)),
      handle_(std::exchange(other.handle_, nullptr)),
      openResult_(other.openResult_) {}

OpenScanner::~OpenScanner() {
    // A handle that the SDK already closed (lost scanner, shutdown) gives SDK_ERR_UNKNOWN_HANDLE: harmless.
    if (handle_ != nullptr) static_cast<void>(ztDeinitialize(handle_, 0));
}

std::string OpenScanner::label() const {
    auto text = portLabel(port_);
    if (name_) text += " (" + displayForm(*name_) + ")";
    return text;
}

void reportFailure(unsigned port, int code, std::string_view what) {
    std::string line = portLabel(port) + ": ";
    if (!what.empty()) line += std::string(what) + ": ";
    line += describeResult(code) + "\n";
    std::fputs(line.c_str(), stderr);
}

std::vector<OpenScanner> openScanners(std::span<const unsigned> ports, const ScannerNames& names) {
    struct Outcome {
        ScannerHandle handle = nullptr;
        int error = SDK_OK;
    };
    std::vector<Outcome> outcomes(ports.size());
    {
        std::vector<std::jthread> openers;
        openers.reserve(ports.size());
        for (std::size_t i = 0; i < ports.size(); ++i) {
            openers.emplace_back([&outcome = outcomes[i], port = ports[i]] {
                outcome.handle = ztInitialize(port, &outcome.error, nullptr, nullptr);
                if (outcome.handle == nullptr && outcome.error == SDK_OK) outcome.error = SDK_ERR_OPEN_FAILED;
            });
        }
    }  // joins every opener
    std::vector<OpenScanner> scanners;
    scanners.reserve(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (outcomes[i].handle == nullptr) reportFailure(ports[i], outcomes[i].error);
        scanners.emplace_back(ports[i], names.find(ports[i]), outcomes[i].handle, outcomes[i].error);
    }
    return scanners;
}

}  // namespace ztctl
