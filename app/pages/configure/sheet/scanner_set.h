// The scanners a settings sheet works on, as the pages pass them to the configure worker: the handles
// are read from the records on the user-interface thread when a job is made, so that the worker never
// touches a record (a scanner that reconnected since the sheet opened is reached by its new handle; one
// that is gone has a null handle, and every call on it fails at once).
#pragma once

#include "ztdevsearch.h"

#include <vector>

namespace talvo::config {

using ScannerHandles = std::vector<ScannerHandle>;

[[nodiscard]] ScannerHandles handlesOf(const std::vector<DeviceRecord*>& records);

}  // namespace talvo::config
