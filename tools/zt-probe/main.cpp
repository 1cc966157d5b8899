// zt-probe: opens scanners through the SDK's C API, shows that each answered the handshake, closes them.
#include "zt330sdk.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void usage(std::FILE* out) {
    std::fprintf(out,
                 "usage: zt-probe PORT...\n"
                 "Opens each scanner (PORT is 5 or COM5), shows whether it answered, and closes it.\n"
                 "Ports are /dev/rfcomm<n>, or $ZT_PORT_DIR/COM<n> when ZT_PORT_DIR is set.\n");
}

const char* resultName(int code) {
    switch (code) {
        case SDK_OK: return "SDK_OK";
        case SDK_ERR_OPEN_FAILED: return "SDK_ERR_OPEN_FAILED: the port could not be opened";
        case SDK_ERR_BAD_PORT: return "SDK_ERR_BAD_PORT: port number above 100";
        case SDK_ERR_PORT_UNAVAILABLE: return "SDK_ERR_PORT_UNAVAILABLE: no such device";
        case SDK_ERR_PORT_IN_USE: return "SDK_ERR_PORT_IN_USE: the port is already open";
        case SDK_ERR_LINK: return "SDK_ERR_LINK: no matching answer";
        case SDK_ERR_TIMEOUT: return "SDK_ERR_TIMEOUT: the scanner did not answer";
        case SDK_ERR_PORT_LOST: return "SDK_ERR_PORT_LOST: the scanner is gone";
        default: return "error";
    }
}

bool parsePort(const char* text, unsigned& port) {
    std::string s(text);
    if (s.rfind("COM", 0) == 0) s = s.substr(3);
    if (s.empty() || s.size() > 3 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    port = static_cast<unsigned>(std::stoul(s));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<unsigned> ports;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            usage(stdout);
            return 0;
        }
        unsigned port = 0;
        if (!parsePort(argv[i], port)) {
            std::fprintf(stderr, "zt-probe: '%s' is not a port (use 5 or COM5)\n", argv[i]);
            return 2;
        }
        ports.push_back(port);
    }
    if (ports.empty()) {
        usage(stderr);
        return 2;
    }
    int failures = 0;
    for (const unsigned port : ports) {
        const auto start = std::chrono::steady_clock::now();
        int error = 0;
        ScannerHandle handle = ztInitialize(port, &error, nullptr, nullptr);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (handle == nullptr) {
            std::fprintf(stderr, "COM%u: %s (%d)\n", port, resultName(error), error);
            ++failures;
            continue;
        }
        std::printf("COM%u: connected, handshake answered (open took %lld ms)\n", port,
                    static_cast<long long>(ms.count()));
        const int closed = ztDeinitialize(handle, 0);
        std::printf("COM%u: closed (%s)\n", port, resultName(closed));
    }
    (void)ztDeinitialize(nullptr, 1);
    return failures == 0 ? 0 : 1;
}
