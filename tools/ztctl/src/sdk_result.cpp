#include "sdk_result.h"

#include "zt330sdk.h"

namespace ztctl {

bool linkFailure(int code) {
    return code == SDK_ERR_TIMEOUT || code == SDK_ERR_LINK || code == SDK_ERR_PORT_LOST || code == SDK_ERR_ABORTED ||
           code == SDK_ERR_INVALID_HANDLE;
}

}  // namespace ztctl
