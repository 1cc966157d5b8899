// Runs a program as a child process with pipes on its standard streams, the way a user's shell would,
// and lets a test wait for what it writes (with a deadline, never a sleep).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ztctl::test {

using namespace std::chrono_literals;

class ChildProcess {
public:
    // Starts `program` with `args`; `environment` is added to (and overrides) this process's environment.
    // `input` is written to its standard input, which is then closed unless `keepInputOpen`.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::map<std::string, std::string>& environment, const std::string& input = {},
                 bool keepInputOpen = false);
    ~ChildProcess();  // kills a child that still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits until standard output (or error) holds `text`; false after the deadline or when the child ended
    // without writing it.
    [[nodiscard]] bool waitForStdout(const std::string& text, std::chrono::milliseconds timeout = 10s);
    [[nodiscard]] bool waitForStderr(const std::string& text, std::chrono::milliseconds timeout = 10s);

    void signal(int number) const;
    // Waits for the child to end; kills it after the deadline and returns -1. Otherwise its exit status,
    // or 128 + signal.
    [[nodiscard]] int wait(std::chrono::milliseconds timeout = 30s);

    [[nodiscard]] std::string out() const;
    [[nodiscard]] std::string err() const;

private:
    void readAll(int fd, std::string& into);
    [[nodiscard]] bool waitFor(const std::string& stream, const std::string& text, std::chrono::milliseconds timeout);

    pid_t pid_ = -1;
    int status_ = -1;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::string out_;
    std::string err_;
    int openStreams_ = 2;
    std::vector<std::thread> readers_;
    int inputFd_ = -1;
};

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs to the end (30 s at most).
[[nodiscard]] RunResult run(const std::string& program, const std::vector<std::string>& args,
                            const std::map<std::string, std::string>& environment, const std::string& input = {});

}  // namespace ztctl::test
