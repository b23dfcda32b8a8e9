// The dry run's file on POSIX systems. A job for a regular file (or a new one) is written to a
// temporary file of unpredictable name, created exclusively beside it, and renamed over it when
// the job ends, so the file only ever holds a whole job, whatever other runs do to it at the
// same time; a link is followed to the file it names. A character device or FIFO the user named
// takes the bytes as they come. Anything else, and the job's own input file, are refused.
#include "cli/DryRunFile.h"

#include "cli/DryRunSpooler.h"
#include "platform/files/posix/UniqueFd.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace nv::cli {

namespace {

// How long a FIFO may have no reader before the job gives up on it.
constexpr std::chrono::milliseconds kFifoReaderWait{10000};
constexpr std::chrono::milliseconds kFifoReaderPoll{50};

enum class Kind { replace, stream, refused };

struct Destination {
    Kind kind = Kind::refused;
    std::string target; // replace: the regular file to rename over (links followed)
    mode_t mode = 0;    // replace: the mode the new file gets
    DryRunProblem why;  // refused
};

DryRunProblem SystemRefusal(int error) {
    return {DryRunRefusal::system, static_cast<unsigned long>(error)};
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

Destination Examine(const std::string& path, const std::string& inputPath) {
    Destination dest;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        struct stat link {};
        if (error != ENOENT || ::lstat(path.c_str(), &link) == 0) {
            dest.why =
                error == ENOENT ? DryRunProblem{DryRunRefusal::danglingLink} : SystemRefusal(error);
            return dest;
        }
        dest.kind = Kind::replace;
        dest.target = path;
        dest.mode = NewFileMode();
        return dest;
    }
    struct stat input {};
    if (!inputPath.empty() && ::stat(inputPath.c_str(), &input) == 0 && SameFile(info, input)) {
        dest.why.reason = DryRunRefusal::input;
        return dest;
    }
    if (S_ISREG(info.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) {
            dest.why = SystemRefusal(errno);
            return dest;
        }
        dest.kind = Kind::replace;
        dest.target = resolved;
        std::free(resolved);
        dest.mode = info.st_mode & 0777;
        return dest;
    }
    if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)) {
        dest.kind = Kind::stream;
        return dest;
    }
    dest.why.reason = S_ISDIR(info.st_mode)   ? DryRunRefusal::folder
                      : S_ISBLK(info.st_mode) ? DryRunRefusal::blockDevice
                                              : DryRunRefusal::notFileDeviceOrFifo;
    return dest;
}

// Opens the character device or FIFO at PATH for writing. A FIFO without a reader is retried
// for a while instead of blocking the open for ever.
int OpenStream(const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + kFifoReaderWait;
    while (true) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
        if (fd >= 0) {
            struct stat info {};
            const int flags = ::fcntl(fd, F_GETFL);
            if (::fstat(fd, &info) != 0 || !(S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)) ||
                flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
                ::close(fd);
                return -1;
            }
            return fd;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != ENXIO || std::chrono::steady_clock::now() >= deadline) {
            return -1;
        }
        std::this_thread::sleep_for(kFifoReaderPoll);
    }
}

class PosixDryRunFile final : public DryRunFile {
public:
    // FD is the open temporary file TEMPPATH (renamed over TARGET at the end), or, with
    // TEMPPATH empty, the device or FIFO itself. INPUTPATH names the file never replaced.
    PosixDryRunFile(int fd, std::string target, std::string tempPath, std::string inputPath)
        : fd_(fd), target_(std::move(target)), tempPath_(std::move(tempPath)),
          inputPath_(std::move(inputPath)) {}

    std::size_t Write(const char* data, std::size_t size) override {
        while (true) {
            const ssize_t n = ::write(fd_.Get(), data, size);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            return n > 0 ? static_cast<std::size_t>(n) : 0;
        }
    }

    bool Close() override { return fd_.Close() == 0; }
    bool HasTemporary() const override { return !tempPath_.empty(); }
    bool ReplaceTarget() override {
        return MayReplaceTarget() && ::rename(tempPath_.c_str(), target_.c_str()) == 0;
    }
    void RemoveTemporary() override { ::unlink(tempPath_.c_str()); }

private:
    // Whether the target is still a regular file other than the input, or absent: something
    // else put there while the job was written is not replaced.
    bool MayReplaceTarget() const {
        struct stat info {};
        if (::lstat(target_.c_str(), &info) != 0) {
            return errno == ENOENT;
        }
        struct stat input {};
        return S_ISREG(info.st_mode) &&
               !(::stat(inputPath_.c_str(), &input) == 0 && SameFile(info, input));
    }

    platform::UniqueFd fd_;
    std::string target_;
    std::string tempPath_;
    std::string inputPath_;
};

} // namespace

DryRunProblem DryRunFileProblem(const std::string& path, const std::string& inputPath) {
    return Examine(path, inputPath).why;
}

std::unique_ptr<DryRunFile> OpenDryRunFile(const std::string& path, const std::string& inputPath,
                                           DryRunOpenProblem* problem) {
    DryRunOpenProblem ignored = DryRunOpenProblem::none;
    DryRunOpenProblem& why = problem != nullptr ? *problem : ignored;
    why = DryRunOpenProblem::other;
    const Destination dest = Examine(path, inputPath);
    if (dest.kind == Kind::refused) {
        return nullptr;
    }
    if (dest.kind == Kind::stream) {
        const int fd = OpenStream(path);
        if (fd < 0) {
            why = DryRunOpenProblem::device;
            return nullptr;
        }
        why = DryRunOpenProblem::none;
        return std::make_unique<PosixDryRunFile>(fd, path, std::string(), inputPath);
    }
    // The temporary file lies in the target's folder, so the rename never crosses file systems.
    std::string base = dest.target.substr(dest.target.find_last_of('/') + 1);
    std::string temp = FolderOf(dest.target) + "/." + base + ".part-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR || error == EACCES || error == EPERM ||
            error == EROFS) {
            why = DryRunOpenProblem::folder;
        }
        return nullptr;
    }
    if (::fchmod(fd, dest.mode) != 0) {
        ::close(fd);
        ::unlink(temp.c_str());
        return nullptr;
    }
    why = DryRunOpenProblem::none;
    return std::make_unique<PosixDryRunFile>(fd, dest.target, std::move(temp), inputPath);
}

} // namespace nv::cli
