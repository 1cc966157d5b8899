// Reading one setting of an open scanner for `get` and `info`.
#pragma once

#include "scanner_session.h"
#include "setting_keys.h"

namespace ztctl {

// Reads `key` into `reading`; returns the SDK's result. A result of SDK_OK with nothing written counts
// as a failure. Failures are reported on stderr ("COM5: time: ..."); `ok` tells whether there is a value.
[[nodiscard]] int readSetting(const OpenScanner& scanner, const SettingKey& key, Reading& reading, bool& ok);

}  // namespace ztctl
