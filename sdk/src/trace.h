// Debug trace of the link and the engine, off by default. ZT_TRACE=1 in the environment writes it to
// standard error (never standard output, which belongs to the host program).
#pragma once

namespace zt::sdk {

[[nodiscard]] bool traceEnabled();
void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zt::sdk
