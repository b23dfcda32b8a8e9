// The exclusive open on Linux. A Windows open without sharing fails while any other handle is
// open and keeps every later open out. Linux has no such share modes, so the file is opened
// read-only and an advisory lock stands for the share mode:
//   - flock(LOCK_EX | LOCK_NB): an exclusive lock owned by this open file description. It works
//     on a read-only descriptor (an fcntl write lock would need write access), conflicts with
//     any shared or exclusive flock of another open, in this process or another, and is
//     released when the descriptor closes.
//   - programs that lock with fcntl record locks do not see flock locks, so the open also
//     refuses a file on which any record lock is held (F_OFD_GETLK); it cannot hold one itself
//     on a read-only descriptor.
// The limit: a program that opens the file without locking it is not seen, and does not see us.
// On a file system that cannot lock at all (ENOLCK, or flock emulated with record locks that
// need write access) the open goes on unlocked rather than refusing every file there.
#include "platform/files/BufferedFile.h"
#include "platform/files/OpenExclusiveFile.h"
#include "platform/files/posix/PosixErrors.h"
#include "platform/files/posix/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nv::platform {
namespace {

class PosixExclusiveFile final : public BufferedFile {
public:
    explicit PosixExclusiveFile(int fd) : fd_(fd) {}

    std::int64_t Length() const override {
        struct stat info {};
        if (::fstat(fd_.Get(), &info) != 0) {
            return -1;
        }
        return static_cast<std::int64_t>(info.st_size);
    }

protected:
    std::int64_t ReadRaw(void* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::read(fd_.Get(), buffer, size);
            if (got >= 0 || errno != EINTR) {
                return got;
            }
        }
    }

private:
    UniqueFd fd_;
};

bool LockUnsupported(int err) {
    return err == ENOLCK || err == EBADF || err == EINVAL || err == EOPNOTSUPP;
}

// True when another program holds an fcntl record lock anywhere on the file.
bool RecordLocked(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;
    probe.l_pid = 0;
    return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

} // namespace

FileCause OpenExclusiveFile(const std::string& path, std::unique_ptr<ExclusiveFile>& file) {
    if (path.empty() || path.find('\0') != std::string::npos) {
        return FileCause::badPath;
    }
    // O_NONBLOCK keeps a FIFO from blocking the open; it changes nothing for a regular file.
    int raw = -1;
    do {
        raw = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    } while (raw < 0 && errno == EINTR);
    if (raw < 0) {
        return FileCauseFromErrno(errno);
    }
    auto opened = std::make_unique<PosixExclusiveFile>(raw);
    struct stat info {};
    if (::fstat(raw, &info) != 0) {
        return FileCauseFromErrno(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return FileCause::accessDenied;
    }
    int locked = -1;
    do {
        locked = ::flock(raw, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0 && !LockUnsupported(errno)) {
        return FileCauseFromErrno(errno);
    }
    if (RecordLocked(raw)) {
        return FileCause::sharingViolation;
    }
    file = std::move(opened);
    return FileCause::none;
}

} // namespace nv::platform
