// The connection worker: runs the queue's entries in the order of their due times and sleeps until
// the front entry is due.
#pragma once

#include <thread>

namespace talvo {

class ConnectionCore;

class ConnectionWorker {
public:
    explicit ConnectionWorker(ConnectionCore& core);
    ~ConnectionWorker();  // stop()
    ConnectionWorker(const ConnectionWorker&) = delete;
    ConnectionWorker& operator=(const ConnectionWorker&) = delete;

    // Asks the worker to end (a send it waits in gives up) and returns at once.
    void requestStop();
    // requestStop(), then waits for the thread; an open or close in progress finishes first.
    void stop();

private:
    void loop(std::stop_token stop);

    ConnectionCore& core_;
    std::jthread thread_;
};

}  // namespace talvo
