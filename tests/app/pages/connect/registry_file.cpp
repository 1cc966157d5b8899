#include "registry_file.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace talvo::test {
namespace {

constexpr const char* kStack = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Bluetooth";

// A .reg string: backslashes and quotes escaped.
std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

RegistryFile::RegistryFile() {
    char pattern[] = "/tmp/talvo-reg-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp");
    dir_ = pattern;
    file_ = dir_ / "registry.reg";
    ::setenv("ZT_REGISTRY", file_.c_str(), 1);
    writeWithoutStack();
}

RegistryFile::~RegistryFile() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

void RegistryFile::write(const std::vector<Pairing>& pairings) const {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    out << "REGEDIT4\n\n[" << kStack << "\\device]\n\n";
    for (std::size_t i = 0; i < pairings.size(); ++i) {
        char address[32];
        std::snprintf(address, sizeof address, "0012a1%06zu", i + 1);
        out << "[" << kStack << "\\device\\" << address << "]\n\"name\"=" << quoted(pairings[i].name) << "\n\n";
        out << "[" << kStack << "\\Serial\\Ports\\"
            << "0001" << address << "]\n\"Port\"=\"COM" << pairings[i].port << ":\"\n\n";
    }
}

void RegistryFile::writeWithoutStack() const {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    out << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n\"x\"=\"y\"\n";
}

}  // namespace talvo::test
