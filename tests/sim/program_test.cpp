// The zt-sim program as a script runs it: in the background with its input closed, steered through the
// control socket, stopped by "quit" or SIGTERM.
#include "reply_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace zt::sim::test {
namespace {

namespace fs = std::filesystem;

// The program with its standard output on a pipe; its input is a pipe or /dev/null.
class Program {
public:
    Program(const std::vector<std::string>& args, bool withInput) {
        std::array<int, 2> out{};
        std::array<int, 2> in{};
        if (::pipe2(out.data(), O_CLOEXEC) != 0 || ::pipe2(in.data(), O_CLOEXEC) != 0) {
            throw std::system_error(errno, std::generic_category(), "pipe2");
        }
        output_ = platform::UniqueFd(out[0]);
        reader_.emplace(output_.get());
        const platform::UniqueFd outputEnd(out[1]);
        const platform::UniqueFd inputEnd(in[0]);
        input_ = platform::UniqueFd(in[1]);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, outputEnd.get(), STDOUT_FILENO);
        if (withInput) {
            posix_spawn_file_actions_adddup2(&actions, inputEnd.get(), STDIN_FILENO);
        } else {
            posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
            input_.reset();
        }
        std::vector<std::string> all{ZT_SIM_PROGRAM};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& arg : all) argv.push_back(arg.data());
        argv.push_back(nullptr);
        const int error = ::posix_spawn(&pid_, ZT_SIM_PROGRAM, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) throw std::system_error(error, std::generic_category(), "posix_spawn");
    }
    ~Program() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            static_cast<void>(exitStatus());
        }
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    [[nodiscard]] ReplyReader& output() { return *reader_; }
    [[nodiscard]] int input() const { return input_.get(); }
    void closeInput() { input_.reset(); }
    void signal(int number) const { ::kill(pid_, number); }
    // Waits for the program to end; call it only once its output ended, else it may wait for ever.
    [[nodiscard]] int exitStatus() {
        int status = 0;
        if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_) pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    platform::UniqueFd output_;
    platform::UniqueFd input_;
    std::optional<ReplyReader> reader_;
};

bool exitedCleanly(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

TEST(ProgramTest, RunsWithItsInputClosedUntilQuitComesThroughTheSocket) {
    const TempDir dir;
    const auto ports = dir.path() / "ports";
    const auto control = dir.path() / "ctl";
    Program program({"--dir", ports.string(), "--port", "5", "--records", "20", "--control", control.string()}, false);
    const auto started = program.output().upToLine("ready");
    ASSERT_TRUE(started);
    EXPECT_NE(started->find("COM5 -> /dev/"), std::string::npos);
    EXPECT_NE(started->find("control " + control.string() + "\n"), std::string::npos);

    const auto client = connectControl(control);
    ReplyReader replies(client.get());
    sendAll(client.get(), "list\n");
    const auto list = replies.reply();
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->starts_with("COM5 records 20 /dev/")) << *list;
    sendAll(client.get(), "quit\n");
    EXPECT_EQ(replies.reply(), "ok\n");

    ASSERT_TRUE(program.output().toEnd()) << "still running";  // the destructor kills it
    EXPECT_TRUE(exitedCleanly(program.exitStatus()));
    EXPECT_FALSE(fs::exists(ports));
    EXPECT_FALSE(fs::exists(control));
}

TEST(ProgramTest, TakesCommandsOnItsInputAndStopsOnSigterm) {
    const TempDir dir;
    Program program({"--dir", (dir.path() / "ports").string(), "--ports", "5,6"}, true);
    ASSERT_TRUE(program.output().upToLine("ready"));
    sendAll(program.input(), "fill 6 4\nlist\n");
    EXPECT_EQ(program.output().reply(), "ok\n");
    const auto list = program.output().reply();
    ASSERT_TRUE(list);
    EXPECT_NE(list->find("COM6 records 4 "), std::string::npos) << *list;
    program.closeInput();

    program.signal(SIGTERM);
    ASSERT_EQ(program.output().toEnd(), "") << "still running";
    EXPECT_TRUE(exitedCleanly(program.exitStatus()));
}

TEST(ProgramTest, RejectsBadArgumentsWithCode2) {
    Program program({"--port", "5", "--records", "many"}, false);
    ASSERT_EQ(program.output().toEnd(), "");
    const int status = program.exitStatus();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2);
}

}  // namespace
}  // namespace zt::sim::test
