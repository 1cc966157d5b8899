// A file that replaces its target only when it is complete: written to a temporary file in the target's
// folder, then renamed over the target in one step. Until then an earlier file of that name stays as it
// was; a file that is never committed is removed. Shared by every program that writes scan-data files.
#pragma once

#include "zt/platform/unique_fd.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace zt::scandata {

class AtomicFile {
public:
    // Creates the temporary file "<folder>/<prefix>XXXXXX" (a hidden name, so that nobody takes it for a
    // finished file); throws std::system_error.
    explicit AtomicFile(std::filesystem::path folder, std::string_view prefix = ".scandata-");
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Throws std::system_error (for example when the disk is full).
    void write(std::string_view bytes);
    // Writes what is buffered, syncs, gives the file the usual permissions and renames it to `target`,
    // which must be in the same folder. Throws std::system_error; the temporary file is then removed.
    void commit(const std::filesystem::path& target);

    [[nodiscard]] const std::filesystem::path& temporaryPath() const { return tempPath_; }

private:
    void flush();

    std::filesystem::path tempPath_;
    zt::platform::UniqueFd fd_;
    std::string buffer_;
    bool committed_ = false;
};

// Removes the temporary file of every AtomicFile not yet committed or destroyed, for a process about to
// end without unwinding (a second Ctrl-C). Safe while other threads write or commit them.
void removeUncommittedFiles() noexcept;

}  // namespace zt::scandata
