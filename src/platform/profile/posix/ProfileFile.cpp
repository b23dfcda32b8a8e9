// The profile services on POSIX systems: each call reads the named file afresh and hands its
// bytes to the shared reader. Nothing is cached, so a file edited between two calls is seen
// at once.
#include "platform/files/posix/UniqueFd.h"
#include "platform/profile/Profile.h"
#include "platform/profile/ProfileText.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace nv::platform {

namespace {

// Profile files are small; anything larger than this is not a profile and reads as missing,
// so a wrong path (a disk image, a device) can never make the reader take unbounded memory.
constexpr off_t kMaxProfileBytes = 16 * 1024 * 1024;

// The whole content of FILENAME, or nothing when it is missing, not a regular file, larger
// than the limit or unreadable. A name without '/' is relative to the current directory (the
// Windows reader would look in the Windows directory, which does not exist here); the name is
// used as given, with no extension added. The open never blocks (a FIFO is refused).
std::optional<std::string> ReadProfileFile(const char* fileName) {
    if (fileName == nullptr || *fileName == '\0') {
        return std::nullopt;
    }
    UniqueFd file(::open(fileName, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.Get() < 0) {
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kMaxProfileBytes) {
        return std::nullopt;
    }
    // Read to the end rather than trusting the size: the file may change while being read.
    std::string bytes;
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(file.Get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
        if (bytes.size() > static_cast<std::size_t>(kMaxProfileBytes)) {
            return std::nullopt;
        }
    }
}

} // namespace

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    std::optional<std::string> bytes = ReadProfileFile(fileName);
    profile::FileBytes file;
    if (bytes) {
        file = *bytes;
    }
    return profile::ReadProfileString(file, section, key, defaultValue, buffer, size);
}

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* fileName) {
    std::optional<std::string> bytes = ReadProfileFile(fileName);
    profile::FileBytes file;
    if (bytes) {
        file = *bytes;
    }
    return profile::ReadProfileInt(file, section, key, defaultValue);
}

} // namespace nv::platform
