// Registry hive: the system registry that the scanner libraries read (the Bluetooth stacks' pairings,
// the serial-port device map), loaded from a text file in the .reg export format.
//
// The file is named by $ZT_REGISTRY, else /etc/zt330/registry.reg; a missing file is an empty registry.
// It may be written by hand or exported from a device: "REGEDIT4" or "Windows Registry Editor Version
// 5.00" header; [ROOT\path] sections and [-ROOT\path] deletions; "name"="text" (escapes \\ \" \n \r \0),
// @ for the default value, "name"=dword:, hex: and hex(n): with backslash line continuations, "name"=-
// deletions; comment lines starting with ';' or '#'. UTF-8, 8-bit or UTF-16LE (with its BOM) text.
//
// Key and value names match without regard to letter case and keep the case they were written with;
// subkeys and values enumerate in the order in which the file first wrote them. A malformed line is
// skipped and reported as a RegistryIssue; limits (file size, name lengths, value size, depth) keep a
// hostile file from exhausting memory or time.
//
// Thread safety: a loaded hive is never modified, so any number of threads may read one hive at the
// same time. Keys and value pointers borrow from their hive and must not outlive it; moving the hive
// keeps them valid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zt::registry {

namespace detail {
class HiveStore;
}

// Value types, numbered as the registry numbers them (the n of hex(n)).
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegString = 1;
inline constexpr std::uint32_t kRegExpandString = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiString = 7;

// Limits of what a hive file may hold; anything larger is reported and skipped.
inline constexpr std::size_t kMaxHiveFileBytes = 8 * 1024 * 1024;
inline constexpr std::size_t kMaxValueBytes = 1024 * 1024;
inline constexpr std::size_t kMaxKeyNameChars = 255;      // per path element, as in the registry
inline constexpr std::size_t kMaxValueNameChars = 16383;  // as in the registry
inline constexpr std::size_t kMaxKeyDepth = 512;          // path elements below the root
// Keys a hive may create, deleted ones included: a few hundred bytes each, so that a file of distinct
// deep paths stays within tens of megabytes. A file that needs more is read as an empty registry.
inline constexpr std::size_t kMaxHiveKeys = 100'000;
inline constexpr std::size_t kMaxReportedIssues = 1000;  // further issues are summed up in one more

struct RegistryValue {
    std::string name;  // UTF-8, as written; empty for the default value (@)
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;  // as the registry keeps it: strings are UTF-16LE with a NUL unit

    // The text of a string value (kRegString or kRegExpandString) up to its first NUL; nothing for
    // other types.
    [[nodiscard]] std::optional<std::wstring> wideText() const;
    [[nodiscard]] std::optional<std::string> text() const;  // the same, UTF-8
};

// A malformed line: its 1-based number (0 for the file as a whole) and what is wrong with it.
struct RegistryIssue {
    std::size_t line = 0;
    std::string message;
};

// An open key: a cheap view into its hive. Closing is leaving scope; there is nothing to release.
class RegistryKey {
public:
    [[nodiscard]] std::string_view name() const noexcept;

    // Name of the subkey at index 0, 1, ... in file order; nothing past the last one.
    [[nodiscard]] std::optional<std::string_view> subkeyName(std::size_t index) const noexcept;

    // Opens a key below this one: a name or a backslash-separated path, any letter case. An empty path
    // opens this key again. Nothing when a key on the path does not exist or the path is malformed.
    [[nodiscard]] std::optional<RegistryKey> openSubkey(std::string_view path) const;

    // Value at index 0, 1, ... in file order, or by name (any letter case; "" is the default value).
    // Null when there is none. The pointer lives as long as the hive.
    [[nodiscard]] const RegistryValue* valueAt(std::size_t index) const noexcept;
    [[nodiscard]] const RegistryValue* value(std::string_view name) const;

private:
    friend class RegistryHive;
    RegistryKey(const detail::HiveStore* store, std::uint32_t node) noexcept : store_(store), node_(node) {}

    const detail::HiveStore* store_;
    std::uint32_t node_;
};

class RegistryHive {
public:
    RegistryHive();  // empty
    ~RegistryHive();
    RegistryHive(RegistryHive&&) noexcept;
    RegistryHive& operator=(RegistryHive&&) noexcept;
    RegistryHive(const RegistryHive&) = delete;
    RegistryHive& operator=(const RegistryHive&) = delete;

    // Parses the bytes of a .reg file. Malformed lines are skipped; when issues is not null they are
    // appended to it. A file that would create more than kMaxHiveKeys keys gives an empty hive and an
    // issue on line 0 that says so. Throws only std::bad_alloc.
    [[nodiscard]] static RegistryHive fromBytes(std::span<const std::uint8_t> bytes,
                                                std::vector<RegistryIssue>* issues = nullptr);

    // Reads and parses a file. A missing file gives an empty hive and no issue; an unreadable one, one
    // that is no regular file or one above kMaxHiveFileBytes gives an empty hive and an issue on line 0.
    // Throws only std::bad_alloc.
    [[nodiscard]] static RegistryHive fromFile(const std::filesystem::path& path,
                                               std::vector<RegistryIssue>* issues = nullptr);

    // $ZT_REGISTRY when set and not empty, else /etc/zt330/registry.reg.
    [[nodiscard]] static std::filesystem::path systemPath();
    // fromFile(systemPath()), issues dropped.
    [[nodiscard]] static RegistryHive loadSystem();

    // Opens "ROOT\path" (ROOT in full, e.g. HKEY_LOCAL_MACHINE, or abbreviated, e.g. HKLM), or a key
    // under HKEY_LOCAL_MACHINE. Nothing when the key does not exist.
    [[nodiscard]] std::optional<RegistryKey> openKey(std::string_view path) const;
    [[nodiscard]] std::optional<RegistryKey> openLocalMachine(std::string_view path) const;

private:
    explicit RegistryHive(std::unique_ptr<detail::HiveStore> store) noexcept;

    std::unique_ptr<detail::HiveStore> store_;
};

// Whether a serial port is a USB serial adapter: in HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM,
// a value whose string data equals portName exactly (case-sensitive, e.g. "COM5", no colon) has
// "USBSER" in its name. False when the key, the file or such a value is missing, or on any failure.
// The first form reads the system hive (RegistryHive::systemPath()) and keeps it until the file
// changes (another path, size, modification time or inode), so a handshake does not parse it again.
// Thread-safe.
[[nodiscard]] bool isUsbSerialPort(std::string_view portName) noexcept;
[[nodiscard]] bool isUsbSerialPort(const RegistryHive& hive, std::string_view portName) noexcept;

}  // namespace zt::registry
