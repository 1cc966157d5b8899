#include "trace.h"

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zt::sdk {

bool traceEnabled() {
    static const bool enabled = [] {
        const char* value = std::getenv("ZT_TRACE");
        return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
    }();
    return enabled;
}

void trace(const char* format, ...) {
    if (!traceEnabled()) return;
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count() %
        1000000;
    std::fprintf(stderr, "[zt %6lld] %s\n", static_cast<long long>(ms), line);
}

}  // namespace zt::sdk
