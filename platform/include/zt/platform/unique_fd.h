// Owning file descriptor and a wake-up descriptor for poll() loops.
#pragma once

#include <utility>

namespace zt::platform {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1);
    // Gives the descriptor up without closing it.
    [[nodiscard]] int release() { return std::exchange(fd_, -1); }

private:
    int fd_ = -1;
};

// An eventfd that one thread signals to wake another out of poll(). The signal stays pending until
// cleared, so a wake-up sent before the other thread polls is not lost.
class WakeFd {
public:
    WakeFd();  // throws std::system_error when the kernel refuses one
    void signal() const;
    void clear() const;
    [[nodiscard]] int fd() const { return fd_.get(); }

private:
    UniqueFd fd_;
};

}  // namespace zt::platform
