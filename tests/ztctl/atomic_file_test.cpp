// The temporary file of a download: removed on every path, also when the process ends without unwinding.
#include "zt/scandata/atomic_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace zt::scandata {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "ztctl-atomic-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    [[nodiscard]] std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    fs::path folder;
};

TEST_F(AtomicFileTest, RemovingUncommittedFilesSparesCommittedOnesAndTheFileStillCloses) {
    {
        AtomicFile done(folder, ".ztctl-download-");
        done.write("kept\r\n");
        done.commit(folder / "done.txt");
        AtomicFile pending(folder, ".ztctl-download-");
        pending.write("half");
        EXPECT_EQ(entries(), 2u);
        removeUncommittedFiles();  // what a second Ctrl-C does before the process ends
        EXPECT_EQ(entries(), 1u);
        EXPECT_THROW(pending.commit(folder / "pending.txt"), std::system_error);
    }
    EXPECT_EQ(entries(), 1u);
    std::ifstream in(folder / "done.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "kept\r\n");
    removeUncommittedFiles();  // nothing left to remove: harmless
    EXPECT_EQ(entries(), 1u);
}

}  // namespace
}  // namespace zt::scandata
