#include "trace.h"

#include <cstdio>
#include <cstdlib>

namespace zt::devsearch {

void trace(std::string_view message) noexcept {
    const char* setting = std::getenv("ZT_DEVSEARCH_TRACE");
    if (setting == nullptr || *setting == '\0' || std::string_view(setting) == "0") return;
    std::fprintf(stderr, "ztdevsearch: %.*s\n", static_cast<int>(message.size()), message.data());
}

}  // namespace zt::devsearch
