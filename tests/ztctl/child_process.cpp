#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace ztctl::test {
namespace {

std::array<int, 2> makePipe() {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
    return fds;
}

std::vector<std::string> mergedEnvironment(const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> all;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const auto equals = text.find('=');
        if (equals != std::string::npos) all[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : extra) all[name] = value;
    std::vector<std::string> out;
    for (const auto& [name, value] : all) out.push_back(name + "=" + value);
    return out;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> out;
    for (auto& text : texts) out.push_back(text.data());
    out.push_back(nullptr);
    return out;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& environment, const std::string& input,
                           bool keepInputOpen) {
    const auto in = makePipe();
    const auto out = makePipe();
    const auto err = makePipe();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    auto env = mergedEnvironment(environment);
    auto argvPointers = pointers(argv);
    auto envPointers = pointers(env);
    const int spawned = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argvPointers.data(), envPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        ::close(in[1]);
        ::close(out[0]);
        ::close(err[0]);
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(spawned));
    }
    readers_.emplace_back([this, fd = out[0]] { readAll(fd, out_); });
    readers_.emplace_back([this, fd = err[0]] { readAll(fd, err_); });
    inputFd_ = in[1];
    if (!input.empty()) {
        [[maybe_unused]] const auto written = ::write(inputFd_, input.data(), input.size());
    }
    if (!keepInputOpen) {
        ::close(inputFd_);
        inputFd_ = -1;
    }
}

ChildProcess::~ChildProcess() {
    if (status_ == -1 && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        static_cast<void>(wait(5s));
    }
    for (auto& reader : readers_) reader.join();
    if (inputFd_ >= 0) ::close(inputFd_);
}

void ChildProcess::readAll(int fd, std::string& into) {
    std::array<char, 4096> buffer{};
    while (true) {
        const auto got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        const std::lock_guard lock(mutex_);
        into.append(buffer.data(), static_cast<std::size_t>(got));
        changed_.notify_all();
    }
    ::close(fd);
    const std::lock_guard lock(mutex_);
    --openStreams_;
    changed_.notify_all();
}

bool ChildProcess::waitFor(const std::string& stream, const std::string& text, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const std::string& buffer = stream == "out" ? out_ : err_;
    return changed_.wait_for(lock, timeout, [&] {
        return buffer.find(text) != std::string::npos || openStreams_ == 0;
    }) && buffer.find(text) != std::string::npos;
}

bool ChildProcess::waitForStdout(const std::string& text, std::chrono::milliseconds timeout) {
    return waitFor("out", text, timeout);
}

bool ChildProcess::waitForStderr(const std::string& text, std::chrono::milliseconds timeout) {
    return waitFor("err", text, timeout);
}

void ChildProcess::signal(int number) const { ::kill(pid_, number); }

int ChildProcess::wait(std::chrono::milliseconds timeout) {
    if (status_ != -1) return status_;
    {
        // The child's end closes both pipes; wait for that first, then reap it.
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [&] { return openStreams_ == 0; })) {
            lock.unlock();
            ::kill(pid_, SIGKILL);
            int ignored = 0;
            ::waitpid(pid_, &ignored, 0);
            status_ = -2;
            return -1;
        }
    }
    int raw = 0;
    while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
}

std::string ChildProcess::out() const {
    const std::lock_guard lock(mutex_);
    return out_;
}

std::string ChildProcess::err() const {
    const std::lock_guard lock(mutex_);
    return err_;
}

RunResult run(const std::string& program, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& environment, const std::string& input) {
    ChildProcess child(program, args, environment, input);
    RunResult result;
    result.status = child.wait();
    result.out = child.out();
    result.err = child.err();
    return result;
}

}  // namespace ztctl::test
