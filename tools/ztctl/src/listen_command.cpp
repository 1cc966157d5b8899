// ztctl listen: connects to every port and prints each live barcode as it arrives, until Ctrl-C.
#include "commands_impl.h"

#include "connector.h"
#include "live_events.h"
#include "live_line.h"
#include "paired_scanners.h"
#include "ports.h"
#include "scanner_links.h"
#include "scanner_session.h"
#include "sdk_result.h"
#include "setting_values.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace ztctl {

const std::string_view kListenHelp =
    "usage: ztctl listen PORT... [--json] [--retries N]\n"
    "Connects to every scanner, sets its clock from this machine's clock, and prints each barcode as\n"
    "it arrives, one line each: scan time, port, scanner name (empty where unknown) and the data, separated\n"
    "by tabs. The data is shown with tab, CR, LF and backslash as \\t, \\r, \\n, \\\\ and other control\n"
    "bytes as \\xNN. A deleted-data report has a fifth field 'deleted'.\n"
    "A scanner that drops is tried again after 13 s, then every 5 s, N more times (--retries, default 3);\n"
    "stderr tells each step. A scanner that cannot be opened at the start is not retried.\n"
    "Runs until Ctrl-C or SIGTERM (exit status 0, or 1 when a scanner failed), or until no scanner is\n"
    "left (exit status 1). Every scanner is closed before the program ends.\n"
    "  --json        one JSON object per line: time, port, name (null where unknown), data, deleted\n"
    "  --retries N   reconnect attempts after the first one, 0..100 (0: no reconnect)\n";

namespace {

constexpr unsigned kMaxRetries = 100;

enum class Ending { Signal, NoScanner, OutputClosed, WaitFailed };

class Listener {
public:
    Listener(const Context& context, std::vector<unsigned> ports, ReconnectPolicy policy, bool json)
        : context_(context),
          ports_(std::move(ports)),
          names_(searchPairedScanners()),
          links_(ports_, policy),
          json_(json) {}

    ~Listener() {
        // Only matters when run() did not end normally: no callback may reach the sink after this.
        connector_.requestStop();
        SdkShutdown::shutdownNow();
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    int run() {
        for (const unsigned port : ports_) connector_.request(port);
        const Ending ending = loop();
        close();
        if (ending == Ending::OutputClosed) {
            std::fputs("ztctl: standard output was closed\n", stderr);
            return kExitFailed;
        }
        if (ending == Ending::WaitFailed) {
            std::fprintf(stderr, "ztctl: cannot wait for barcodes and signals: %s\n", std::strerror(waitError_));
            return kExitFailed;
        }
        return ending == Ending::Signal && !links_.anyFailed() ? kExitOk : kExitFailed;
    }

private:
    Ending loop() {
        while (links_.anyAlive()) {
            pollfd fds[] = {{context_.signals.fd(), POLLIN, 0}, {sink_.fd(), POLLIN, 0}};
            const int ready = ::poll(fds, 2, timeoutMs());
            if (ready < 0 && errno != EINTR) {
                waitError_ = errno;
                return Ending::WaitFailed;
            }
            if ((fds[0].revents & POLLIN) != 0 && context_.signals.take()) return Ending::Signal;
            if (!handleEvents(sink_.take())) return Ending::OutputClosed;
            for (const unsigned port : links_.takeDue(ScannerLinks::Clock::now())) connector_.request(port);
        }
        return Ending::NoScanner;
    }

    int timeoutMs() const {
        const auto due = links_.nextDue();
        if (!due) return -1;
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*due - ScannerLinks::Clock::now());
        return static_cast<int>(std::clamp<long long>(wait.count(), 0, 60'000));
    }

    // False when standard output can no longer be written.
    bool handleEvents(const std::deque<LiveEvent>& events) {
        for (const auto& event : events) {
            if (!handle(event)) return false;
        }
        return true;
    }

    bool handle(const LiveEvent& event) {
        const auto now = ScannerLinks::Clock::now();
        switch (event.kind) {
            case LiveEvent::Kind::Scan:
            case LiveEvent::Kind::Deleted: return print(event);
            case LiveEvent::Kind::Opened: pendingNotes_[event.port] = links_.opened(event.port); break;
            case LiveEvent::Kind::OpenFailed: note(links_.openFailed(event.port, event.result, now)); break;
            case LiveEvent::Kind::Lost:
                flushPendingNote(event.port);
                note(links_.lost(event.port, now));
                break;
            case LiveEvent::Kind::ClockSet: clockSet(event.port, event.result); break;
        }
        return true;
    }

    // "connected" is shown once the clock is set: the scanner takes no barcode during that exchange.
    void clockSet(unsigned port, int result) {
        const bool pending = pendingNotes_.contains(port);
        if (result == SDK_OK) {
            if (pending) note(pendingNotes_[port] + ", clock set");
        } else {
            flushPendingNote(port);
            note(portLabel(port) + ": the clock was not set: " + describeResult(result));
        }
        pendingNotes_.erase(port);
    }

    void flushPendingNote(unsigned port) {
        if (const auto found = pendingNotes_.find(port); found != pendingNotes_.end()) {
            note(found->second);
            pendingNotes_.erase(found);
        }
    }

    bool print(const LiveEvent& event) {
        const bool deleted = event.kind == LiveEvent::Kind::Deleted;
        const LiveScan scan{event.port, names_.find(event.port), event.record, deleted};
        if (!liveScanTimePlausible(scan)) {
            note(portLabel(event.port) + ": the scanner sent an impossible scan time; shown as sent");
        }
        const auto line = formatLiveLine(scan, json_) + "\n";
        return std::fputs(line.c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
    }

    static void note(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

    // Closes every scanner: no new opens, each open handle closed on its own, then the SDK stopped (which
    // also cuts short an open in progress). Barcodes that arrived meanwhile are still printed.
    void close() {
        connector_.requestStop();
        for (ScannerHandle handle : sink_.beginClosing()) static_cast<void>(ztDeinitialize(handle, 0));
        SdkShutdown::shutdownNow();
        connector_.join();
        SdkShutdown::shutdownNow();
        for (const auto& event : sink_.take()) {
            if (event.kind == LiveEvent::Kind::Scan || event.kind == LiveEvent::Kind::Deleted) {
                if (!print(event)) break;
            }
        }
        note("ztctl: every scanner closed");
    }

    const Context& context_;
    std::vector<unsigned> ports_;
    ScannerNames names_;
    ScannerLinks links_;
    bool json_;
    std::map<unsigned, std::string> pendingNotes_;  // "connected" lines waiting for the clock to be set
    int waitError_ = 0;                             // why poll() failed
    LiveEventSink sink_;                            // outlives the SDK's callbacks: close() stops the SDK first
    Connector connector_{sink_};
};

}  // namespace

int runListen(const Context& context, Words args) {
    const Arguments arguments(args, {{"--json", false}, {"--retries", true}});
    if (printedHelp(arguments, kListenHelp)) return kExitOk;
    auto ports = parsePorts(arguments.positionals());
    auto policy = ReconnectPolicy::fromEnvironment();
    if (const auto retries = arguments.value("--retries")) {
        policy.retries = static_cast<int>(parseNumber(*retries, "--retries", 0, kMaxRetries));
    }
    Listener listener(context, std::move(ports), policy, arguments.has("--json"));
    return listener.run();
}

}  // namespace ztctl
