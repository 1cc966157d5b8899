// A real X client for the typing test: a mapped window that holds the input focus and turns every
// KeyPress into text the way an Xlib application does (XLookupString through its own copy of the
// keyboard map, refreshed on MappingNotify). Reads events on a thread of its own.
#pragma once

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;

class XKeyWindow {
public:
    explicit XKeyWindow(const QByteArray& display);
    ~XKeyWindow();
    XKeyWindow(const XKeyWindow&) = delete;
    XKeyWindow& operator=(const XKeyWindow&) = delete;

    [[nodiscard]] bool ready() const { return ready_; }
    // Waits until at least `count` characters came; returns what came.
    [[nodiscard]] std::u32string waitForText(std::size_t count, std::chrono::milliseconds timeout);
    // The modifier state of each KeyPress that gave a character, in the order of waitForText().
    [[nodiscard]] std::vector<unsigned> states();
    // Locks Caps Lock on the server, as a user who pressed it.
    void lockCapsLock();
    // Whether the server's map has a key for this keysym now (seen from a fresh look-up).
    [[nodiscard]] bool mapHas(unsigned long keysym);

private:
    void read(std::stop_token stop);

    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    bool ready_ = false;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::u32string text_;
    std::vector<unsigned> states_;
    std::jthread reader_;
};
