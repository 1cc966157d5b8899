// A temporary folder with simulated scanners behind it, and ztctl run against them as a user would:
// ZT_PORT_DIR names the simulator's folder, ZT_REGISTRY a registry file the test writes (so that the
// device search knows the scanners' names), and BlueZ is never asked.
#pragma once

#include "child_process.h"
#include "zt/sim/simulator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ztctl::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

class ZtctlTest : public ::testing::Test {
protected:
    [[nodiscard]] std::map<std::string, std::string> environment(std::map<std::string, std::string> extra = {}) const;
    // Pairings for the device search: (port, name).
    void writeRegistry(const std::vector<std::pair<int, std::string>>& scanners) const;

    [[nodiscard]] RunResult ztctl(const std::vector<std::string>& args, const std::string& input = {}) const;
    [[nodiscard]] std::unique_ptr<ChildProcess> startZtctl(const std::vector<std::string>& args,
                                                           std::map<std::string, std::string> extra = {}) const;

    // Environment that preloads a poll() failing wherever the program waits for its stop signals.
    [[nodiscard]] static std::map<std::string, std::string> pollFails();

    [[nodiscard]] std::filesystem::path folder() const { return temp.path(); }
    // Files in `dir` whose names start with '.' (temporary download files).
    [[nodiscard]] static std::vector<std::string> hiddenFiles(const std::filesystem::path& dir);
    [[nodiscard]] static std::string readFile(const std::filesystem::path& file);
    static void writeFile(const std::filesystem::path& file, const std::string& bytes);

    TempFolder temp;
    zt::sim::Simulator simulator{temp.path() / "ports"};
};

// Lines of `text`, without their line ends.
[[nodiscard]] std::vector<std::string> lines(const std::string& text);

}  // namespace ztctl::test
