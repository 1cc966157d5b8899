#include "ztctl_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ztctl::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ztctl-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::map<std::string, std::string> ZtctlTest::environment(std::map<std::string, std::string> extra) const {
    const auto sysfs = folder() / "no-rfcomm";
    std::filesystem::create_directories(sysfs);
    std::map<std::string, std::string> env{
        {"ZT_PORT_DIR", (folder() / "ports").string()},
        {"ZT_REGISTRY", (folder() / "registry.reg").string()},
        {"ZT_RFCOMM_SYSFS", sysfs.string()},
        {"ZT_DBUS_ADDRESS", "unix:path=" + (folder() / "no-bus").string()},
    };
    for (auto& [name, value] : extra) env[name] = value;
    return env;
}

std::map<std::string, std::string> ZtctlTest::pollFails() {
    // Under AddressSanitizer the preloaded library comes before its runtime, which it then allows.
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {{"LD_PRELOAD", ZT_TEST_POLL_FAULT},
            {"ASAN_OPTIONS", std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0"}};
}

void ZtctlTest::writeRegistry(const std::vector<std::pair<int, std::string>>& scanners) const {
    std::ostringstream reg;
    reg << "Windows Registry Editor Version 5.00\n\n";
    int n = 0;
    for (const auto& [port, name] : scanners) {
        char address[32];
        std::snprintf(address, sizeof address, "0012a1%06d", ++n);
        reg << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Bluetooth\\device\\" << address << "]\n"
            << "\"name\"=\"" << name << "\"\n\n"
            << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Bluetooth\\Serial\\Ports\\0001" << address << "]\n"
            << "\"Port\"=\"COM" << port << ":\"\n\n";
    }
    writeFile(folder() / "registry.reg", reg.str());
}

RunResult ZtctlTest::ztctl(const std::vector<std::string>& args, const std::string& input) const {
    return run(ZTCTL_PROGRAM, args, environment(), input);
}

std::unique_ptr<ChildProcess> ZtctlTest::startZtctl(const std::vector<std::string>& args,
                                                    std::map<std::string, std::string> extra) const {
    return std::make_unique<ChildProcess>(ZTCTL_PROGRAM, args, environment(std::move(extra)));
}

std::vector<std::string> ZtctlTest::hiddenFiles(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const auto name = entry.path().filename().string();
        if (name.starts_with('.')) names.push_back(name);
    }
    return names;
}

std::string ZtctlTest::readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return "<missing>";
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ZtctlTest::writeFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

}  // namespace ztctl::test
