// The control commands: what each does to the scanners, and the replies to lines that make no sense.
#include "command_interpreter.h"
#include "reply_reader.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <string>
#include <utility>
#include <vector>

namespace zt::sim::cli {
namespace {

using test::TempDir;
using test::TtyClient;

class InterpreterTest : public ::testing::Test {
protected:
    TempDir dir;
    Simulator simulator{dir.path()};
    SimScanner& five = simulator.addScanner(5);
    SimScanner& six = simulator.addScanner(6);
    CommandInterpreter interpreter{simulator};
};

TEST_F(InterpreterTest, RejectsLinesThatMakeNoSenseAndChangesNothing) {
    const std::vector<std::pair<std::string_view, std::string_view>> cases{
        {"bogus 5", "unknown command 'bogus' (try help)"},
        {"SCAN 5 x", "unknown command 'SCAN' (try help)"},
        {"scan", "port missing"},
        {"scan 5", "text missing"},
        {"scan 5   ", "text missing"},
        {"scan 7 x", "no scanner on COM7"},
        {"scan 0x5 x", "invalid port '0x5'"},
        {"fill 5", "N missing"},
        {"fill 5 -1", "invalid N '-1'"},
        {"fill 5 1000001", "invalid N '1000001'"},
        {"fill 5 2 3", "unexpected '3'"},
        {"fill 256 2", "invalid port '256'"},
        {"erase 5 now", "unexpected 'now'"},
        {"silent 5", "N missing"},
        {"fail-collect 5 k", "invalid K 'k'"},
        {"baud 5 fast", "invalid B 'fast'"},
        {"hangup", "port missing"},
        {"list all", "unexpected 'all'"},
        {"quit now", "unexpected 'now'"},
    };
    for (const auto& [line, why] : cases) {
        EXPECT_EQ(interpreter.execute(line), "error: " + std::string(why) + "\n") << line;
    }
    EXPECT_EQ(interpreter.execute(Line{"", true}), "error: line longer than 4096 bytes\n");
    EXPECT_EQ(interpreter.execute(""), "");
    EXPECT_EQ(interpreter.execute(" \t "), "");
    EXPECT_EQ(five.recordCount(), 0U);
    EXPECT_FALSE(interpreter.quitRequested());
}

TEST_F(InterpreterTest, FillEraseAndListWorkOnTheStore) {
    EXPECT_EQ(interpreter.execute("fill 5 3"), "ok\n");
    EXPECT_EQ(interpreter.execute("  fill\t5  2 "), "ok\n");
    EXPECT_EQ(five.recordCount(), 5U);
    EXPECT_EQ(six.recordCount(), 0U);
    EXPECT_EQ(five.records().back().text, "SIM5-000005");
    EXPECT_EQ(interpreter.execute("list"), "COM5 records 5 " + five.terminalPath().string() + "\nCOM6 records 0 " +
                                               six.terminalPath().string() + "\nok\n");
    EXPECT_EQ(interpreter.execute("erase 5"), "ok\n");
    EXPECT_EQ(five.recordCount(), 0U);
    EXPECT_EQ(five.state().storage, 0);
}

TEST_F(InterpreterTest, ScanAndDeletedSendTheRestOfTheLine) {
    const TtyClient client(five.linkPath());
    EXPECT_EQ(interpreter.execute("scan 5  ab  cd "), "ok\n");
    EXPECT_EQ(interpreter.execute("deleted 5 X"), "ok\n");
    const auto scan = client.readFrame();
    const auto deleted = client.readFrame();
    ASSERT_TRUE(scan && deleted);
    EXPECT_EQ(scan->header.type, 0x81);
    EXPECT_EQ(std::string(scan->payload.begin() + 24, scan->payload.end()), std::string("ab  cd\0", 7));
    EXPECT_EQ(deleted->header.type, 0x83);
    EXPECT_EQ(deleted->payload.back(), 0);
    EXPECT_EQ(deleted->payload[24], 'X');
}

TEST_F(InterpreterTest, HangUpComeBackAndFaultsReachTheScanner) {
    EXPECT_EQ(interpreter.execute("hangup 5"), "ok\n");
    EXPECT_TRUE(five.terminalPath().empty());
    EXPECT_EQ(interpreter.execute("list"),
              "COM5 records 0 away\nCOM6 records 0 " + six.terminalPath().string() + "\nok\n");
    EXPECT_EQ(interpreter.execute("comeback 5"), "ok\n");
    ASSERT_FALSE(five.terminalPath().empty());
    EXPECT_EQ(interpreter.execute("baud 5 0"), "ok\n");

    const TtyClient client(five.linkPath());
    EXPECT_EQ(interpreter.execute("silent 5 1"), "ok\n");
    client.write(test::handshake(1));
    client.write(test::handshake(2));
    const auto answer = client.readFrame();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->header.seq, 2) << "the first request was answered";

    // After the header the exchange goes silent; the next answer is the header of a new exchange.
    five.fillRecords(1);
    EXPECT_EQ(interpreter.execute("fail-collect 5 0"), "ok\n");
    client.write(test::requestFrame(wire::Command::Collect, 3, Bytes{0x01}));
    client.write(test::requestFrame(wire::Command::Collect, 3, Bytes{0x02}, 1));
    client.write(test::requestFrame(wire::Command::Collect, 4, Bytes{0x01}));
    const auto first = client.readFrame();
    const auto next = client.readFrame();
    ASSERT_TRUE(first && next);
    EXPECT_EQ(first->header.seq, 3);
    EXPECT_EQ(next->header.seq, 4);
    EXPECT_EQ(next->payload, (Bytes{0x01, 1, 0, 0, 0}));
}

TEST_F(InterpreterTest, HelpNamesEveryCommandAndQuitWakesTheWaiter) {
    const auto help = "\n" + interpreter.execute("help");
    for (const auto* name : {"scan ", "deleted ", "fill ", "erase ", "hangup ", "comeback ", "silent ", "fail-collect ",
                             "baud ", "list ", "help ", "quit "}) {
        EXPECT_NE(help.find(std::string("\n") + name), std::string::npos) << name;
    }
    EXPECT_TRUE(help.ends_with("\nok\n"));

    EXPECT_EQ(interpreter.execute("quit"), "ok\n");
    EXPECT_TRUE(interpreter.quitRequested());
    pollfd entry{interpreter.quitFd(), POLLIN, 0};
    EXPECT_EQ(::poll(&entry, 1, 0), 1);
}

}  // namespace
}  // namespace zt::sim::cli
