// An owned file descriptor, closed on destruction.
#pragma once

#include <unistd.h>

namespace nv::platform {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Close(); }

    explicit operator bool() const { return fd_ >= 0; }
    int Get() const { return fd_; }
    // Closes now; the result of close(2), 0 when nothing was open.
    int Close() {
        int rc = 0;
        if (fd_ >= 0) {
            rc = ::close(fd_);
            fd_ = -1;
        }
        return rc;
    }

private:
    int fd_;
};

} // namespace nv::platform
