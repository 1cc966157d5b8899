// What ztctl makes of the SDK's results: their texts come from the client module.
#pragma once

#include "zt/client/result_text.h"

namespace ztctl {

using zt::client::describeResult;
using zt::client::resultMeaning;
using zt::client::resultName;

// Results after which a scanner is not worth asking again in the same run: it is gone or silent.
[[nodiscard]] bool linkFailure(int code);

}  // namespace ztctl
