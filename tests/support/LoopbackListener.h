// A listening TCP socket on a free loopback port, standing in for a printer or a scheduler.
// Its port is free again once it is closed or destroyed.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace nv::test {

class LoopbackListener {
public:
    explicit LoopbackListener(int backlog = 4) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::listen(fd_, backlog) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    ~LoopbackListener() { Close(); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Fd() const { return fd_; }
    // "127.0.0.1:PORT", and the same as a socket printer's URI.
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
    std::string Uri() const { return "socket://" + Address(); }
    int Accept() const { return ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC); }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

} // namespace nv::test
