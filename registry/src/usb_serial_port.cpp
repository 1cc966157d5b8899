// The serial-port device map lists every serial port: value name = the driver's device, value data =
// the port name. USB serial adapters register under a device name holding "USBSER".
#include <sys/stat.h>

#include <chrono>
#include <exception>
#include <memory>
#include <mutex>
#include <string>

#include "zt/registry/registry.h"

namespace zt::registry {
namespace {

constexpr std::string_view kSerialDeviceMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr std::string_view kUsbSerialMarker = "USBSER";
// File times advance in clock ticks of a few milliseconds, so two writes of the same size within one tick
// look alike. A file changed this recently is read again each time instead of trusted.
constexpr auto kSettledAfter = std::chrono::seconds(2);

// What tells one version of the hive file from another without reading it.
struct FileIdentity {
    std::string path;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    static FileIdentity of(const std::string& path) {
        FileIdentity identity{path};
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) return identity;
        identity.exists = true;
        identity.device = info.st_dev;
        identity.inode = info.st_ino;
        identity.size = info.st_size;
        identity.modified = info.st_mtim;
        identity.changed = info.st_ctim;
        return identity;
    }
    [[nodiscard]] bool settled() const {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        const auto changedAt = std::chrono::seconds(changed.tv_sec) + std::chrono::nanoseconds(changed.tv_nsec);
        return !exists || now - changedAt >= kSettledAfter;
    }
    [[nodiscard]] bool operator==(const FileIdentity& other) const {
        const auto same = [](const timespec& a, const timespec& b) {
            return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
        };
        return path == other.path && exists == other.exists && device == other.device && inode == other.inode &&
               size == other.size && same(modified, other.modified) && same(changed, other.changed);
    }
};

// The system hive as last read; read again only when the file is another one or has changed. Every
// handshake of the SDK asks, and a hive may be megabytes of text.
class SystemHiveCache {
public:
    [[nodiscard]] std::shared_ptr<const RegistryHive> get() {
        auto identity = FileIdentity::of(RegistryHive::systemPath().string());
        const std::lock_guard lock(mutex_);
        if (!hive_ || !(identity == identity_) || !identity.settled()) {
            // Stat before reading: a change while reading shows as another identity next time.
            hive_ = std::make_shared<const RegistryHive>(RegistryHive::fromFile(identity.path));
            identity_ = std::move(identity);
        }
        return hive_;
    }

private:
    std::mutex mutex_;
    FileIdentity identity_;
    std::shared_ptr<const RegistryHive> hive_;
};

}  // namespace

bool isUsbSerialPort(const RegistryHive& hive, std::string_view portName) noexcept {
    try {
        const auto key = hive.openLocalMachine(kSerialDeviceMap);
        if (!key) return false;
        for (std::size_t i = 0; const RegistryValue* value = key->valueAt(i); ++i) {
            // Every value is looked at: one that does not describe this port never ends the search.
            if (value->text() == portName && value->name.find(kUsbSerialMarker) != std::string::npos) return true;
        }
        return false;
    } catch (const std::exception&) {
        return false;
    }
}

bool isUsbSerialPort(std::string_view portName) noexcept {
    try {
        static SystemHiveCache cache;
        return isUsbSerialPort(*cache.get(), portName);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace zt::registry
