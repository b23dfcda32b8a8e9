// Module files read on POSIX systems. A module is opened only when it is a regular file: the
// open never blocks (a FIFO in its place would otherwise hold the run forever) and a device
// or folder is refused before anything is read.
#include "platform/files/posix/UniqueFd.h"
#include "platform/modules/ModuleFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nv::platform::pe {

namespace {

// An open regular file of known size, read by offset.
struct RegularFile {
    UniqueFd fd;
    std::uint64_t size = 0;

    static std::optional<RegularFile> Open(const std::string& path) {
        UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        struct stat info {};
        if (!fd || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
            return std::nullopt;
        }
        return RegularFile{std::move(fd), static_cast<std::uint64_t>(info.st_size)};
    }

    // SIZE bytes at OFFSET, nothing unless all of them are there.
    std::optional<std::vector<std::uint8_t>> ReadAt(std::uint64_t offset,
                                                    std::uint64_t count) const {
        if (offset > size || count > size - offset || count > kMaxModuleFileSize) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::pread(fd.Get(), bytes.data() + done, bytes.size() - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return std::nullopt; // an error, or the file was cut while read
            }
            done += static_cast<std::size_t>(got);
        }
        return bytes;
    }
};

} // namespace

std::optional<std::vector<std::uint8_t>> ReadModuleFile(const std::string& path) {
    const auto file = RegularFile::Open(path);
    if (!file || file->size > kMaxModuleFileSize) {
        return std::nullopt;
    }
    return file->ReadAt(0, file->size);
}

std::optional<std::vector<std::uint8_t>> ReadResourceImage(const std::string& path) {
    const auto file = RegularFile::Open(path);
    const auto magic = file ? file->ReadAt(0, 2) : std::nullopt;
    if (!magic) {
        return std::nullopt;
    }
    if (IsPe(*magic)) {
        return file->size > kMaxModuleFileSize ? std::nullopt : file->ReadAt(0, file->size);
    }
    return ReadElfSection(
        [&file](std::uint64_t offset, std::uint64_t count) { return file->ReadAt(offset, count); },
        kEmbeddedResourceSection);
}

} // namespace nv::platform::pe
