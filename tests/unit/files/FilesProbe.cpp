// Plays another program for the file tests. Usage:
//   files_probe dir                the program directory
//   files_probe open PATH          an exclusive open, held until stdin closes
//   files_probe flock-shared PATH  a plain reader holding a shared flock until stdin closes
//   files_probe record-read PATH   a plain reader holding an fcntl read lock until stdin closes
//   files_probe few-handles PATH   an exclusive open with no descriptors left
//   files_probe unprivileged PATH  an exclusive open as user nobody (when started as root)
// Each command prints one line: the program directory, or the FileCause number (0: held).
#include "platform/files/Files.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using nv::platform::ExclusiveFile;
using nv::platform::FileCause;

void Report(int value) {
    std::printf("%d\n", value);
    std::fflush(stdout);
}

void WaitForParent() {
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "dir") == 0) {
        std::printf("%s\n", nv::platform::GetProgramDirectory().c_str());
        return 0;
    }
    if (argc != 3) {
        return 2;
    }
    const std::string command = argv[1];
    const char* path = argv[2];
    if (command == "open") {
        FileCause cause = FileCause::generic;
        auto file = ExclusiveFile::Open(path, &cause);
        Report(static_cast<int>(cause));
        WaitForParent();
        return 0;
    }
    if (command == "flock-shared" || command == "record-read") {
        const int fd = ::open(path, O_RDONLY);
        int result = -1;
        if (fd >= 0 && command == "flock-shared") {
            result = ::flock(fd, LOCK_SH | LOCK_NB);
        } else if (fd >= 0) {
            struct flock lock {};
            lock.l_type = F_RDLCK;
            lock.l_whence = SEEK_SET;
            result = ::fcntl(fd, F_SETLK, &lock);
        }
        Report(result == 0 ? 0 : 1);
        WaitForParent();
        return 0;
    }
    if (command == "unprivileged") {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            return 3;
        }
        FileCause cause = FileCause::none;
        auto file = ExclusiveFile::Open(path, &cause);
        Report(static_cast<int>(cause));
        return 0;
    }
    if (command == "few-handles") {
        // Leave no descriptor free beyond the standard three.
        const struct rlimit limit { 3, 3 };
        if (::setrlimit(RLIMIT_NOFILE, &limit) != 0) {
            return 3;
        }
        for (int fd = 3; fd < 1024; ++fd) {
            ::close(fd);
        }
        FileCause cause = FileCause::none;
        auto file = ExclusiveFile::Open(path, &cause);
        Report(static_cast<int>(cause));
        return 0;
    }
    return 2;
}
