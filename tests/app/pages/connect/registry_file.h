// Writes the registry hive file that the device search reads ($ZT_REGISTRY), with the platform
// Bluetooth stack's keys for the given pairings.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace talvo::test {

struct Pairing {
    std::string name;  // bytes as they stand in the file (UTF-8, or anything a broken file holds)
    int port;
};

class RegistryFile {
public:
    RegistryFile();  // a file in a private folder, named by ZT_REGISTRY
    ~RegistryFile();
    RegistryFile(const RegistryFile&) = delete;
    RegistryFile& operator=(const RegistryFile&) = delete;

    // The stack's keys with these pairings (none: the keys without a scanner).
    void write(const std::vector<Pairing>& pairings) const;
    // A file without any Bluetooth stack's keys: the search finds no source.
    void writeWithoutStack() const;

private:
    std::filesystem::path dir_;
    std::filesystem::path file_;
};

}  // namespace talvo::test
