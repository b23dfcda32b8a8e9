// An owned file descriptor, closed on destruction.
#pragma once

#include <unistd.h>
#include <utility>

namespace nv::platform {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    ~UniqueFd() { Close(); }

    explicit operator bool() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    // Gives the descriptor up without closing it.
    int Release() { return std::exchange(fd_, -1); }
    // Closes the descriptor held and holds FD instead.
    void Reset(int fd = -1) {
        Close();
        fd_ = fd;
    }
    // Closes now; the result of close(2), 0 when nothing was open.
    int Close() {
        const int fd = Release();
        return fd >= 0 ? ::close(fd) : 0;
    }

private:
    int fd_;
};

} // namespace nv::platform
