#include "control_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace zt::sim::cli {
namespace {

[[noreturn]] void fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

sockaddr_un addressOf(const fs::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string& name = path.native();
    if (name.empty() || name.size() >= sizeof address.sun_path) {
        throw std::runtime_error("control socket path '" + name + "' is empty or too long");
    }
    std::memcpy(address.sun_path, name.c_str(), name.size() + 1);
    return address;
}

platform::UniqueFd streamSocket() {
    platform::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.valid()) fail("socket");
    return fd;
}

// A socket file nobody listens at any more is left over from an earlier run.
bool isStale(const sockaddr_un& address) {
    const platform::UniqueFd probe = streamSocket();
    const auto* generic = reinterpret_cast<const sockaddr*>(&address);
    return ::connect(probe.get(), generic, sizeof address) != 0 && errno == ECONNREFUSED;
}

platform::UniqueFd listenAt(const fs::path& path) {
    const auto address = addressOf(path);
    std::error_code error;
    if (fs::is_socket(fs::symlink_status(path, error))) {
        if (!isStale(address)) throw std::runtime_error("control socket " + path.string() + " is in use");
        fs::remove(path, error);
    }
    platform::UniqueFd fd = streamSocket();
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) fail("bind control socket");
    if (::listen(fd.get(), SOMAXCONN) != 0) fail("listen");
    return fd;
}

}  // namespace

ControlSocket::ControlSocket(fs::path path, Handler handler)
    : path_(std::move(path)), handler_(std::move(handler)), listener_(listenAt(path_)) {
    thread_ = std::jthread([this](const std::stop_token& stop) {
        const std::stop_callback wakeOnStop(stop, [this] { wake_.signal(); });
        serve(stop);
    });
}

ControlSocket::~ControlSocket() {
    thread_.request_stop();
    if (thread_.joinable()) thread_.join();
    std::error_code ignored;
    fs::remove(path_, ignored);
}

void ControlSocket::serve(const std::stop_token& stop) {
    std::vector<pollfd> fds;
    while (!stop.stop_requested()) {
        fds.assign({{wake_.fd(), POLLIN, 0}, {listener_.get(), POLLIN, 0}});
        for (const auto& client : clients_) {
            const auto events =
                static_cast<short>((client.closing ? 0 : POLLIN) | (client.pending.empty() ? 0 : POLLOUT));
            fds.push_back({client.fd.get(), events, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            std::fprintf(stderr, "zt-sim: the control socket stops: poll: %s\n", std::strerror(errno));
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) wake_.clear();
        // Clients first: their entries follow the two fixed ones in the order of clients_.
        for (std::size_t i = 0; i < clients_.size(); ++i) {
            const short revents = fds[i + 2].revents;
            auto& client = clients_[i];
            bool keep = true;
            if ((revents & (POLLIN | POLLHUP | POLLERR)) != 0 && !client.closing) keep = readFrom(client);
            if (keep && (revents & POLLOUT) != 0) keep = flush(client);
            if (keep && (revents & (POLLHUP | POLLERR)) != 0 && client.closing) keep = false;
            if (!keep || (client.closing && client.pending.empty())) client.fd.reset();
        }
        std::erase_if(clients_, [](const Client& client) { return !client.fd.valid(); });
        if ((fds[1].revents & POLLIN) != 0) accept();
    }
}

void ControlSocket::accept() {
    for (;;) {
        platform::UniqueFd fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd.valid()) return;  // EAGAIN: no one else waiting
        if (clients_.size() >= kMaxClients) {
            constexpr std::string_view busy = "error: too many clients\n";
            [[maybe_unused]] const auto sent = ::send(fd.get(), busy.data(), busy.size(), MSG_NOSIGNAL);
            continue;  // closed on leaving the scope
        }
        clients_.push_back({std::move(fd), LineSplitter{}, {}, false});
    }
}

bool ControlSocket::readFrom(Client& client) {
    std::array<char, 4096> buffer{};
    const auto got = ::recv(client.fd.get(), buffer.data(), buffer.size(), 0);
    if (got < 0) return errno == EAGAIN || errno == EINTR;
    if (got == 0) {  // the client is done sending; answer a last line without newline, then let it go
        if (auto last = client.lines.finish()) client.pending += handler_(*last);
        client.closing = true;
        return flush(client);
    }
    for (const auto& line : client.lines.feed(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) {
        client.pending += handler_(line);
    }
    return flush(client);
}

bool ControlSocket::flush(Client& client) {
    while (!client.pending.empty()) {
        const auto sent = ::send(client.fd.get(), client.pending.data(), client.pending.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR) continue;
            return errno == EAGAIN && client.pending.size() <= kMaxPending;
        }
        client.pending.erase(0, static_cast<std::size_t>(sent));
    }
    return true;
}

}  // namespace zt::sim::cli
