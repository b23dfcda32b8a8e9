#include "FilesTestSupport.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nv::test {

Probe::Probe(const std::string& program, const std::vector<std::string>& args) {
    int in[2];
    int out[2];
    EXPECT_EQ(::pipe2(in, O_CLOEXEC), 0);
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    toChild_ = in[1];
    fromChild_ = out[0];
}

Probe::~Probe() {
    Release();
}

std::string Probe::FirstLine() {
    std::string line;
    char c;
    while (::read(fromChild_, &c, 1) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

int Probe::Release() {
    if (toChild_ >= 0) {
        ::close(toChild_);
        toChild_ = -1;
    }
    if (fromChild_ >= 0) {
        ::close(fromChild_);
        fromChild_ = -1;
    }
    int status = -1;
    if (pid_ > 0) {
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    return status;
}

} // namespace nv::test
