// Serves line commands on a Unix stream socket: clients may connect one after another or several at
// once; each line a client sends is handed to the handler, and its reply is written back to that client.
#pragma once

#include "line_splitter.h"
#include "zt/platform/unique_fd.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace zt::sim::cli {

class ControlSocket {
public:
    using Handler = std::function<std::string(const Line& line)>;

    static constexpr std::size_t kMaxClients = 16;
    // A client that lets this much of its replies pile up unread is dropped.
    static constexpr std::size_t kMaxPending = 1 << 20;

    // Binds and listens at `path` and starts serving. A socket left at `path` by an earlier run is
    // replaced; one that still answers is not (std::runtime_error). Other failures: std::system_error.
    ControlSocket(std::filesystem::path path, Handler handler);
    ~ControlSocket();  // stops serving, closes every client and removes the socket
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    struct Client {
        platform::UniqueFd fd;
        LineSplitter lines;
        std::string pending;   // replies not yet written
        bool closing = false;  // the client ended its side: drop it once the replies are out
    };

    void serve(const std::stop_token& stop);
    void accept();
    // False when the client is gone.
    [[nodiscard]] bool readFrom(Client& client);
    [[nodiscard]] bool flush(Client& client);

    std::filesystem::path path_;
    Handler handler_;
    platform::UniqueFd listener_;
    platform::WakeFd wake_;
    std::vector<Client> clients_;  // only the serving thread touches them
    std::jthread thread_;          // last: stopped and joined before the rest goes
};

}  // namespace zt::sim::cli
