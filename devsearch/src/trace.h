// Debug trace of the search's decisions, switched on with ZT_DEVSEARCH_TRACE=1; written to standard
// error, never to standard output.
#pragma once

#include <string_view>

namespace zt::devsearch {

void trace(std::string_view message) noexcept;

}  // namespace zt::devsearch
