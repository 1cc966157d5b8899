#include "zt/sim/simulator.h"

#include "sim_scanner.h"

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace zt::sim {

struct Simulator::Impl {
    explicit Impl(fs::path dir) : linkDir(std::move(dir)), createdDir(fs::create_directories(linkDir)) {}

    // Scanners go first; the folder only if this simulator made it and nothing else was put there.
    ~Impl() {
        scanners.clear();
        std::error_code ignored;
        if (createdDir && fs::is_empty(linkDir, ignored)) fs::remove(linkDir, ignored);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    fs::path linkDir;
    bool createdDir;
    mutable std::mutex mutex;
    std::map<int, std::unique_ptr<Scanner>> scanners;
};

Simulator::Simulator(fs::path linkDir) : impl_(std::make_unique<Impl>(std::move(linkDir))) {}

Simulator::~Simulator() = default;

SimScanner& Simulator::addScanner(int port) {
    if (port < 1) throw std::invalid_argument("zt-sim: port numbers start at 1");
    const std::lock_guard lock(impl_->mutex);
    if (impl_->scanners.contains(port))
        throw std::runtime_error("zt-sim: port COM" + std::to_string(port) + " is taken");
    auto scanner = std::make_unique<Scanner>(port, impl_->linkDir / ("COM" + std::to_string(port)));
    return *impl_->scanners.emplace(port, std::move(scanner)).first->second;
}

SimScanner& Simulator::scanner(int port) {
    const std::lock_guard lock(impl_->mutex);
    const auto found = impl_->scanners.find(port);
    if (found == impl_->scanners.end()) throw std::out_of_range("zt-sim: no scanner on COM" + std::to_string(port));
    return *found->second;
}

std::vector<int> Simulator::ports() const {
    const std::lock_guard lock(impl_->mutex);
    std::vector<int> ports;
    for (const auto& entry : impl_->scanners) ports.push_back(entry.first);
    return ports;
}

const fs::path& Simulator::linkDir() const { return impl_->linkDir; }

}  // namespace zt::sim
