// Reading a hive file: bounded, and without blocking on or streaming from special files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "zt/registry/registry.h"

namespace zt::registry {
namespace {

class FileHandle {
public:
    explicit FileHandle(int fd) noexcept : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    [[nodiscard]] int get() const noexcept { return fd_; }

private:
    int fd_;
};

void reportFileIssue(std::vector<RegistryIssue>* issues, std::string message) {
    if (issues != nullptr) issues->push_back(RegistryIssue{0, std::move(message)});
}

// Reads the file by the size it has now, and a little beyond it, so that a file that grew meanwhile is
// read whole, and one that grew past `limit` is noticed (more than `limit` bytes come back).
[[nodiscard]] bool readBounded(int fd, std::size_t size, std::size_t limit, std::vector<std::uint8_t>& bytes) {
    bytes.resize(std::min(size, limit) + 1);
    std::size_t used = 0;
    while (true) {
        if (used == bytes.size()) {
            if (used > limit) break;
            bytes.resize(std::min(limit + 1, 2 * used));
        }
        const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    bytes.resize(used);
    return true;
}

}  // namespace

RegistryHive RegistryHive::fromFile(const std::filesystem::path& path, std::vector<RegistryIssue>* issues) {
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the file type is checked right after.
    const FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        if (errno != ENOENT && errno != ENOTDIR) reportFileIssue(issues, std::strerror(errno));
        return RegistryHive();
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        reportFileIssue(issues, "not a regular file");
        return RegistryHive();
    }
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxHiveFileBytes) {
        reportFileIssue(issues, "file larger than " + std::to_string(kMaxHiveFileBytes) + " bytes");
        return RegistryHive();
    }
    std::vector<std::uint8_t> bytes;
    if (!readBounded(file.get(), static_cast<std::size_t>(info.st_size), kMaxHiveFileBytes, bytes)) {
        reportFileIssue(issues, std::strerror(errno));
        return RegistryHive();
    }
    if (bytes.size() > kMaxHiveFileBytes) {
        reportFileIssue(issues, "file larger than " + std::to_string(kMaxHiveFileBytes) + " bytes");
        return RegistryHive();
    }
    return fromBytes(bytes, issues);
}

}  // namespace zt::registry
