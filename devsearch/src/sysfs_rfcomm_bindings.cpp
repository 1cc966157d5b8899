#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <optional>

#include "rfcomm_bindings.h"

namespace zt::devsearch {
namespace {

constexpr std::string_view kTtyPrefix = "rfcomm";
constexpr std::size_t kAddressChars = 17;    // "00:11:22:33:44:55"
constexpr std::size_t kAttributeBytes = 64;  // an address line is 18 bytes; more is not an address
constexpr std::size_t kMaxTtyDigits = 9;     // any 9-digit N fits the signed 32-bit port

// The first bytes of a small attribute file. O_NONBLOCK: a FIFO put there by mistake must not block.
[[nodiscard]] std::string readAttribute(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return {};
    std::array<char, kAttributeBytes> buffer{};
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    ::close(fd);
    return got > 0 ? std::string(buffer.data(), static_cast<std::size_t>(got)) : std::string();
}

// "00:11:22:33:44:55" in either letter case, with blanks or a newline around it; upper case.
[[nodiscard]] std::optional<std::string> parseAddress(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    if (first == std::string_view::npos || last - first + 1 != kAddressChars) return std::nullopt;
    std::string address(text.substr(first, kAddressChars));
    for (std::size_t i = 0; i < address.size(); ++i) {
        const auto c = static_cast<unsigned char>(address[i]);
        const bool ok = (i % 3 == 2) ? c == ':' : std::isxdigit(c) != 0;
        if (!ok) return std::nullopt;
        address[i] = static_cast<char>(std::toupper(c));
    }
    return address;
}

// N of "rfcommN"; nothing for any other name.
[[nodiscard]] std::optional<std::int32_t> ttyNumber(std::string_view name) {
    if (!name.starts_with(kTtyPrefix) || name.size() == kTtyPrefix.size() ||
        name.size() > kTtyPrefix.size() + kMaxTtyDigits)
        return std::nullopt;
    std::int32_t number = 0;
    for (char c : name.substr(kTtyPrefix.size())) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

std::filesystem::path SysfsRfcommBindings::configuredDir() {
    const char* configured = std::getenv("ZT_RFCOMM_SYSFS");
    return (configured != nullptr && *configured != '\0') ? configured : "/sys/class/tty";
}

std::vector<RfcommBinding> SysfsRfcommBindings::bindings() {
    std::vector<RfcommBinding> found;
    std::error_code error;
    for (auto it = std::filesystem::directory_iterator(dir_, error);
         !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        const auto port = ttyNumber(it->path().filename().native());
        if (!port) continue;
        if (auto address = parseAddress(readAttribute(it->path() / "address")))
            found.push_back(RfcommBinding{*port, std::move(*address)});
    }
    return found;
}

}  // namespace zt::devsearch
