// The ways commands reach a running simulator: standard input (the console) and the control socket.
#include "command_interpreter.h"
#include "console.h"
#include "control_socket.h"
#include "reply_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <thread>

namespace zt::sim::cli {
namespace {

using test::ReplyReader;
using test::sendAll;
using test::TempDir;

struct Pipe {
    Pipe() {
        std::array<int, 2> fds{};
        if (::pipe2(fds.data(), O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe2");
        read = platform::UniqueFd(fds[0]);
        write = platform::UniqueFd(fds[1]);
    }
    platform::UniqueFd read;
    platform::UniqueFd write;
};

class ControlTest : public ::testing::Test {
protected:
    TempDir dir;
    Simulator simulator{dir.path() / "ports"};
    SimScanner& scanner = simulator.addScanner(5);
    CommandInterpreter interpreter{simulator};
};

using ConsoleTest = ControlTest;

TEST_F(ConsoleTest, RunsInputLinesUntilQuitAndNoLineAfterIt) {
    Pipe input;
    Pipe output;
    const platform::WakeFd stop;
    sendAll(input.write.get(), "fill 5 2\r\nbogus\nquit\nfill 5 1\n");
    EXPECT_EQ(Console(interpreter, input.read.get(), output.write.get(), -1).run(stop.fd()), StopReason::Quit);
    output.write.reset();
    EXPECT_EQ(ReplyReader(output.read.get()).toEnd(), "ok\nerror: unknown command 'bogus' (try help)\nok\n");
    EXPECT_EQ(scanner.recordCount(), 2U);
}

TEST_F(ConsoleTest, EndOfInputLeavesItRunningUntilQuitFromElsewhereOrASignal) {
    Pipe input;
    Pipe output;
    const platform::WakeFd stop;
    sendAll(input.write.get(), "fill 5 1");  // the last line has no newline
    input.write.reset();
    std::atomic<bool> finished{false};
    std::optional<StopReason> reason;
    std::jthread console([&] {
        reason = Console(interpreter, input.read.get(), output.write.get(), -1).run(stop.fd());
        finished = true;
    });
    ReplyReader replies(output.read.get());
    EXPECT_EQ(replies.reply(), "ok\n");
    EXPECT_FALSE(finished) << "the end of the input stopped the console";
    EXPECT_EQ(interpreter.execute("quit"), "ok\n");  // as a client of the control socket would
    console.join();
    EXPECT_EQ(reason, StopReason::Quit);
    EXPECT_EQ(scanner.recordCount(), 1U);

    CommandInterpreter fresh(simulator);
    stop.signal();
    EXPECT_EQ(Console(fresh, -1, output.write.get(), -1).run(stop.fd()), StopReason::Signal);
}

class ControlSocketTest : public ControlTest {
protected:
    std::filesystem::path path = dir.path() / "ctl";
    std::optional<ControlSocket> control{std::in_place, path,
                                         [this](const Line& line) { return interpreter.execute(line); }};
};

TEST_F(ControlSocketTest, AnswersEachLineOfAClient) {
    const auto client = test::connectControl(path);
    sendAll(client.get(), "fill 5 3\n");
    ReplyReader replies(client.get());
    EXPECT_EQ(replies.reply(), "ok\n");
    EXPECT_EQ(scanner.recordCount(), 3U);

    sendAll(client.get(), "list\nbogus\n");
    EXPECT_EQ(replies.reply(), "COM5 records 3 " + scanner.terminalPath().string() + "\nok\n");
    EXPECT_EQ(replies.reply(), "error: unknown command 'bogus' (try help)\n");
    sendAll(client.get(), std::string(LineSplitter::kMaxLine + 1, 'x') + "\nerase 5\n");
    EXPECT_EQ(replies.reply(), "error: line longer than 4096 bytes\n");
    EXPECT_EQ(replies.reply(), "ok\n");
    EXPECT_EQ(scanner.recordCount(), 0U);
}

TEST_F(ControlSocketTest, ServesClientsAtOnceAndOneAfterAnother) {
    const auto first = test::connectControl(path);
    const auto second = test::connectControl(path);
    ReplyReader firstReplies(first.get());
    ReplyReader secondReplies(second.get());
    sendAll(second.get(), "fill 5 1\n");
    sendAll(first.get(), "fill 5 2\n");
    EXPECT_EQ(firstReplies.reply(), "ok\n");
    EXPECT_EQ(secondReplies.reply(), "ok\n");
    EXPECT_EQ(scanner.recordCount(), 3U);

    // A client that sends its last line without newline and ends its side still gets the reply.
    sendAll(first.get(), "erase 5");
    ASSERT_EQ(::shutdown(first.get(), SHUT_WR), 0);
    EXPECT_EQ(firstReplies.toEnd(), "ok\n");
    EXPECT_EQ(scanner.recordCount(), 0U);

    const auto third = test::connectControl(path);
    sendAll(third.get(), "quit\n");
    EXPECT_EQ(ReplyReader(third.get()).reply(), "ok\n");
    EXPECT_TRUE(interpreter.quitRequested());
}

TEST_F(ControlSocketTest, ReplacesALeftOverSocketRefusesOneInUseAndRemovesItsOwn) {
    EXPECT_THROW(ControlSocket(path, [](const Line&) { return std::string(); }), std::runtime_error);
    EXPECT_THROW(ControlSocket(dir.path() / std::string(120, 'p'), [](const Line&) { return std::string(); }),
                 std::runtime_error);

    control.reset();
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_THROW(static_cast<void>(test::connectControl(path)), std::system_error);

    {  // a socket file whose listener is gone, as a killed simulator leaves it
        platform::UniqueFd left(::socket(AF_UNIX, SOCK_STREAM, 0));
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        ASSERT_EQ(::bind(left.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    }
    ASSERT_TRUE(std::filesystem::is_socket(path));
    control.emplace(path, [](const Line&) { return std::string("ok\n"); });
    const auto client = test::connectControl(path);
    sendAll(client.get(), "anything\n");
    EXPECT_EQ(ReplyReader(client.get()).reply(), "ok\n");
}

}  // namespace
}  // namespace zt::sim::cli
