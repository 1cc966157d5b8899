#include "setting_read.h"

#include "ports.h"

#include <cstdio>
#include <string>

namespace ztctl {

int readSetting(const OpenScanner& scanner, const SettingKey& key, Reading& reading, bool& ok) {
    const int rc = key.read(scanner.handle(), reading);
    ok = rc == SDK_OK && reading.written;
    if (rc != SDK_OK) {
        reportFailure(scanner.port(), rc, key.name);
    } else if (!reading.written) {
        const std::string line = portLabel(scanner.port()) + ": " + std::string(key.name) +
                                 ": the scanner's answer held no value; nothing was read\n";
        std::fputs(line.c_str(), stderr);
    }
    return rc;
}

}  // namespace ztctl
