#include "zt/scandata/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <vector>

namespace zt::scandata {
namespace {

constexpr std::size_t kFlushSize = 64 * 1024;

[[noreturn]] void fail(const std::string& what) { throw std::system_error(errno, std::generic_category(), what); }

// The process's umask as /proc reports it (Linux 4.7 and later), without changing it: a program with
// other threads must not set the umask even for a moment, as a file created meanwhile would get mode 0666.
std::optional<mode_t> umaskFromProc() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) != 0) continue;
        try {
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

// The permissions an ordinary new file gets: 0666 less the umask. Without /proc the umask can only be
// read by setting it, so it is set back at once.
mode_t newFileMode() {
    mode_t mask = 0;
    if (const auto known = umaskFromProc()) {
        mask = *known;
    } else {
        mask = ::umask(0);
        ::umask(mask);
    }
    return static_cast<mode_t>(0666 & ~mask);
}

// The temporary files that exist now. A rename and the removal of its entry happen under the lock, so
// removeUncommittedFiles() never removes a file that has become its target.
class UncommittedFiles {
public:
    static UncommittedFiles& instance() {
        static UncommittedFiles files;
        return files;
    }
    std::mutex mutex;
    std::set<std::string> paths;
};

void forget(const std::filesystem::path& path) {
    auto& files = UncommittedFiles::instance();
    const std::lock_guard lock(files.mutex);
    files.paths.erase(path.string());
}

}  // namespace

void removeUncommittedFiles() noexcept {
    auto& files = UncommittedFiles::instance();
    const std::lock_guard lock(files.mutex);
    for (const auto& path : files.paths) ::unlink(path.c_str());
    files.paths.clear();
}

AtomicFile::AtomicFile(std::filesystem::path folder, std::string_view prefix) {
    const std::string pattern = (folder / (std::string(prefix) + "XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = zt::platform::UniqueFd(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd_.valid()) fail("cannot create a file in " + folder.string());
    tempPath_ = name.data();
    auto& files = UncommittedFiles::instance();
    const std::lock_guard lock(files.mutex);
    files.paths.insert(tempPath_.string());
}

AtomicFile::~AtomicFile() {
    if (committed_) return;
    forget(tempPath_);
    fd_.reset();
    std::error_code ignored;
    std::filesystem::remove(tempPath_, ignored);
}

void AtomicFile::write(std::string_view bytes) {
    buffer_ += bytes;
    if (buffer_.size() >= kFlushSize) flush();
}

void AtomicFile::flush() {
    std::string_view rest = buffer_;
    while (!rest.empty()) {
        const auto written = ::write(fd_.get(), rest.data(), rest.size());
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) fail("cannot write " + tempPath_.string());
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    buffer_.clear();
}

void AtomicFile::commit(const std::filesystem::path& target) {
    flush();
    if (::fchmod(fd_.get(), newFileMode()) != 0) fail("cannot set the permissions of " + tempPath_.string());
    if (::fsync(fd_.get()) != 0) fail("cannot write " + tempPath_.string());
    if (::close(fd_.release()) != 0) fail("cannot write " + tempPath_.string());
    auto& files = UncommittedFiles::instance();
    const std::lock_guard lock(files.mutex);
    if (std::rename(tempPath_.c_str(), target.c_str()) != 0) fail("cannot replace " + target.string());
    files.paths.erase(tempPath_.string());
    committed_ = true;
}

}  // namespace zt::scandata
