#include "managed_objects_reader.h"

#include <string_view>

namespace zt::devsearch {
namespace {

constexpr std::string_view kDeviceInterface = "org.bluez.Device1";

// Each step returns false when the message does not have the expected shape.
class ManagedObjectsReader {
public:
    explicit ManagedObjectsReader(sd_bus_message* m) noexcept : m_(m) {}

    [[nodiscard]] bool read(std::vector<Pairing>& devices) {
        if (sd_bus_message_enter_container(m_, SD_BUS_TYPE_ARRAY, "{oa{sa{sv}}}") <= 0) return false;
        for (;;) {
            const int r = sd_bus_message_enter_container(m_, SD_BUS_TYPE_DICT_ENTRY, "oa{sa{sv}}");
            if (r < 0) return false;
            if (r == 0) break;
            if (!readObject(devices) || sd_bus_message_exit_container(m_) < 0) return false;
        }
        return sd_bus_message_exit_container(m_) >= 0;
    }

private:
    [[nodiscard]] bool readObject(std::vector<Pairing>& devices) {
        const char* path = nullptr;
        if (sd_bus_message_read_basic(m_, SD_BUS_TYPE_OBJECT_PATH, &path) < 0) return false;
        if (sd_bus_message_enter_container(m_, SD_BUS_TYPE_ARRAY, "{sa{sv}}") <= 0) return false;
        for (;;) {
            const int r = sd_bus_message_enter_container(m_, SD_BUS_TYPE_DICT_ENTRY, "sa{sv}");
            if (r < 0) return false;
            if (r == 0) break;
            if (!readInterface(devices) || sd_bus_message_exit_container(m_) < 0) return false;
        }
        return sd_bus_message_exit_container(m_) >= 0;
    }

    [[nodiscard]] bool readInterface(std::vector<Pairing>& devices) {
        const char* interface = nullptr;
        if (sd_bus_message_read_basic(m_, SD_BUS_TYPE_STRING, &interface) < 0) return false;
        if (interface != kDeviceInterface) return sd_bus_message_skip(m_, "a{sv}") >= 0;
        Pairing device;
        if (!readProperties(device)) return false;
        if (!device.address.empty()) devices.push_back(std::move(device));
        return true;
    }

    [[nodiscard]] bool readProperties(Pairing& device) {
        if (sd_bus_message_enter_container(m_, SD_BUS_TYPE_ARRAY, "{sv}") <= 0) return false;
        for (;;) {
            const int r = sd_bus_message_enter_container(m_, SD_BUS_TYPE_DICT_ENTRY, "sv");
            if (r < 0) return false;
            if (r == 0) break;
            if (!readProperty(device) || sd_bus_message_exit_container(m_) < 0) return false;
        }
        return sd_bus_message_exit_container(m_) >= 0;
    }

    [[nodiscard]] bool readProperty(Pairing& device) {
        const char* key = nullptr;
        if (sd_bus_message_read_basic(m_, SD_BUS_TYPE_STRING, &key) < 0) return false;
        const std::string_view name = key;
        if (name == "Paired") {
            int paired = 0;
            if (!readVariant(SD_BUS_TYPE_BOOLEAN, "b", &paired)) return false;
            device.paired = paired != 0;
            return true;
        }
        std::optional<std::string>* text = name == "Name" ? &device.name : name == "Alias" ? &device.alias : nullptr;
        if (name != "Address" && text == nullptr) return sd_bus_message_skip(m_, "v") >= 0;
        const char* value = nullptr;
        if (!readVariant(SD_BUS_TYPE_STRING, "s", &value)) return false;
        if (value == nullptr) return true;  // the variant held another type: ignored
        if (text != nullptr) {
            *text = value;
        } else {
            device.address = value;
        }
        return true;
    }

    // Reads a variant holding one value of the given type; a variant of another type is skipped and
    // leaves *out as it was.
    [[nodiscard]] bool readVariant(char type, const char* signature, void* out) {
        char found = 0;
        const char* contents = nullptr;
        if (sd_bus_message_peek_type(m_, &found, &contents) <= 0 || found != SD_BUS_TYPE_VARIANT) return false;
        if (contents == nullptr || std::string_view(contents) != signature) return sd_bus_message_skip(m_, "v") >= 0;
        return sd_bus_message_enter_container(m_, SD_BUS_TYPE_VARIANT, signature) > 0 &&
               sd_bus_message_read_basic(m_, type, out) >= 0 && sd_bus_message_exit_container(m_) >= 0;
    }

    sd_bus_message* m_;
};

}  // namespace

std::optional<std::vector<Pairing>> readManagedDevices(sd_bus_message* reply) {
    std::vector<Pairing> devices;
    if (!ManagedObjectsReader(reply).read(devices)) return std::nullopt;
    return devices;
}

}  // namespace zt::devsearch
