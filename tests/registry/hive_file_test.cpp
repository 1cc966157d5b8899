// Loading the hive file: where it is, what a missing or odd file gives.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "test_env.h"
#include "zt/registry/registry.h"

namespace zt::registry {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(HiveFile, MissingFileIsAnEmptyRegistryWithoutIssue) {
    const TempDir dir;
    std::vector<RegistryIssue> issues;
    const auto hive = RegistryHive::fromFile(dir.path() / "absent.reg", &issues);
    EXPECT_TRUE(issues.empty());
    EXPECT_FALSE(hive.openKey("HKLM"));
}

TEST(HiveFile, FolderAndFifoAreRefusedWithoutBlocking) {
    const TempDir dir;
    const auto fifo = dir.path() / "fifo.reg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const auto& path : {dir.path(), fifo}) {
        std::vector<RegistryIssue> issues;
        static_cast<void>(RegistryHive::fromFile(path, &issues));
        ASSERT_EQ(issues.size(), 1u) << path;
        EXPECT_EQ(issues[0].line, 0u);
    }
}

TEST(HiveFile, FileAboveTheLimitIsRefusedWhole) {
    const TempDir dir;
    dir.write("big.reg", "REGEDIT4\n[HKLM\\Test]\n" + std::string(kMaxHiveFileBytes, ';'));
    std::vector<RegistryIssue> issues;
    const auto hive = RegistryHive::fromFile(dir.path() / "big.reg", &issues);
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_FALSE(hive.openLocalMachine("Test"));
}

TEST(HiveFile, FileOfExactlyTheLimitIsRead) {
    const TempDir dir;
    const std::string head = "REGEDIT4\n[HKLM\\Test]\n";
    const std::string tail = "\n[HKLM\\Last]\n";
    dir.write("edge.reg", head + std::string(kMaxHiveFileBytes - head.size() - tail.size(), ';') + tail);
    std::vector<RegistryIssue> issues;
    const auto hive = RegistryHive::fromFile(dir.path() / "edge.reg", &issues);
    EXPECT_TRUE(issues.empty());
    EXPECT_TRUE(hive.openLocalMachine("Last")) << "read to its end";
}

TEST(HiveFile, SystemHiveIsTheFileNamedByZtRegistry) {
    const TempDir dir;
    dir.write("sys.reg", "REGEDIT4\n[HKLM\\FromEnv]\n");
    const ScopedEnv registry("ZT_REGISTRY", (dir.path() / "sys.reg").string());
    EXPECT_TRUE(RegistryHive::loadSystem().openLocalMachine("FromEnv"));
}

}  // namespace
}  // namespace zt::registry
