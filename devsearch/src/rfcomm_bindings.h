// RFCOMM ttys that are bound to a Bluetooth address (`rfcomm bind N ADDRESS` makes /dev/rfcommN).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zt::devsearch {

struct RfcommBinding {
    std::int32_t port = 0;  // N of /dev/rfcommN
    std::string address;    // remote address, upper case: "00:11:22:33:44:55"

    friend bool operator==(const RfcommBinding&, const RfcommBinding&) = default;
};

class RfcommBindingSource {
public:
    virtual ~RfcommBindingSource() = default;
    [[nodiscard]] virtual std::vector<RfcommBinding> bindings() = 0;

protected:
    RfcommBindingSource() = default;
    RfcommBindingSource(const RfcommBindingSource&) = default;
    RfcommBindingSource& operator=(const RfcommBindingSource&) = default;
};

// The kernel's RFCOMM ttys as sysfs shows them: every rfcommN in the tty class folder has an "address"
// attribute with the remote address. Needs no privileges and no Bluetooth headers, unlike the
// RFCOMMGETDEVLIST ioctl.
class SysfsRfcommBindings final : public RfcommBindingSource {
public:
    explicit SysfsRfcommBindings(std::filesystem::path ttyClassDir) : dir_(std::move(ttyClassDir)) {}

    // $ZT_RFCOMM_SYSFS when set (tests), else /sys/class/tty.
    [[nodiscard]] static std::filesystem::path configuredDir();

    // Entries that are not rfcommN, or whose address is missing or malformed, are left out.
    [[nodiscard]] std::vector<RfcommBinding> bindings() override;

private:
    std::filesystem::path dir_;
};

}  // namespace zt::devsearch
