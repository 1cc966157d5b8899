#include "scanner_session.h"

#include "ports.h"
#include "sdk_result.h"
#include "zt/client/display_form.h"

#include <cstdio>
#include <thread>
#include <utility>

namespace ztctl {

using zt::client::displayForm;

OpenScanner::OpenScanner(unsigned port, std::optional<std::string> name, ScannerHandle handle, int openResult,
                         LiveEventSink& sink)
    : port_(port), name_(std::move(name)), handle_(handle), openResult_(openResult), sink_(&sink) {}

OpenScanner::OpenScanner(OpenScanner&& other) noexcept
    : port_(other.port_),
      name_(std::move(other.name_)),
      handle_(std::exchange(other.handle_, nullptr)),
      openResult_(other.openResult_),
      sink_(other.sink_) {}

void OpenScanner::close() {
    if (handle_ == nullptr) return;
    // A lost scanner's handle is freed already: its address may belong to another handle by now. One
    // that the SDK closed on shutdown gives SDK_ERR_UNKNOWN_HANDLE: harmless.
    if (sink_->isOpen(handle_)) static_cast<void>(ztDeinitialize(handle_, 0));
    sink_->closed(handle_);
    handle_ = nullptr;
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

namespace {

struct Outcome {
    ScannerHandle handle = nullptr;
    int error = SDK_OK;
};

Outcome open(unsigned port, LiveEventSink& sink) {
    Outcome outcome;
    sink.beginOpen(port);
    outcome.handle = ztInitialize(port, &outcome.error, &LiveEventSink::Callbacks::onDisconnect,
                                  &LiveEventSink::Callbacks::onScanData);
    if (outcome.handle == nullptr) {
        if (outcome.error == SDK_OK) outcome.error = SDK_ERR_OPEN_FAILED;
        sink.failOpen(port, outcome.error);
    } else if (!sink.finishOpen(port, outcome.handle)) {
        outcome = {nullptr, SDK_ERR_PORT_LOST};  // lost again before ztInitialize returned; the SDK freed it
    }
    return outcome;
}

OpenScanner opened(unsigned port, const ScannerNames& names, const Outcome& outcome, LiveEventSink& sink) {
    if (outcome.handle == nullptr) reportFailure(port, outcome.error);
    return {port, names.find(port), outcome.handle, outcome.error, sink};
}

}  // namespace

std::vector<OpenScanner> openScanners(std::span<const unsigned> ports, const ScannerNames& names, LiveEventSink& sink) {
    std::vector<Outcome> outcomes(ports.size());
    {
        std::vector<std::jthread> openers;
        openers.reserve(ports.size());
        for (std::size_t i = 0; i < ports.size(); ++i) {
            openers.emplace_back([&outcome = outcomes[i], port = ports[i], &sink] { outcome = open(port, sink); });
        }
    }  // joins every opener
    std::vector<OpenScanner> scanners;
    scanners.reserve(ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) scanners.push_back(opened(ports[i], names, outcomes[i], sink));
    return scanners;
}

OpenScanner openScanner(unsigned port, const ScannerNames& names, LiveEventSink& sink) {
    return opened(port, names, open(port, sink), sink);
}

}  // namespace ztctl
