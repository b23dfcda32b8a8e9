#include "platform/registry/posix/FileRegistry.h"

#include "platform/files/posix/FileIdentity.h"
#include "platform/files/posix/UniqueFd.h"
#include "platform/registry/RegFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nv::platform {
namespace {

enum class FileState { absent, read, unreadable, oversized };

struct FileContent {
    FileState state = FileState::absent;
    LONG error = ERROR_SUCCESS; // why it is unreadable
    std::string bytes;
    std::optional<FileIdentity> identity; // of the file read, when it was read whole
};

LONG ErrorFromErrno(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
        return ERROR_NOT_ENOUGH_QUOTA;
    default:
        return ERROR_REGISTRY_IO_FAILED;
    }
}

// Reads the regular file PATH when it holds at most kMaxRegFileBytes; a larger one is refused
// from its size before a byte is read (and stops a read at the bound when it grows meanwhile).
// A FIFO or device is not opened for good (no blocking open) and counts as unreadable. When
// KNOWN is the identity of the file found, nothing is read and the state is `read` with no
// bytes: the caller has them already.
FileContent ReadFileBounded(const std::string& path,
                            const std::optional<FileIdentity>& known = std::nullopt) {
    FileContent content;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return content;
        }
        content.state = FileState::unreadable;
        content.error = ErrorFromErrno(errno);
        return content;
    }
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        content.state = FileState::unreadable;
        content.error = ERROR_REGISTRY_IO_FAILED;
        return content;
    }
    const FileIdentity identity = IdentityOf(info);
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > kMaxRegFileBytes) {
        content.state = FileState::oversized;
        return content;
    }
    if (known && *known == identity) {
        content.state = FileState::read;
        content.identity = identity;
        return content;
    }
    content.bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    while (true) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            content.state = FileState::unreadable;
            content.error = ErrorFromErrno(errno);
            return content;
        }
        if (n == 0) {
            break;
        }
        if (static_cast<std::size_t>(n) > kMaxRegFileBytes - content.bytes.size()) {
            content.bytes.clear();
            content.state = FileState::oversized;
            return content;
        }
        content.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    content.state = FileState::read;
    // Only a file that did not change while it was read is known by its identity.
    struct stat after {};
    if (::fstat(fd.Get(), &after) == 0 && IdentityOf(after) == identity &&
        content.bytes.size() == static_cast<std::size_t>(info.st_size)) {
        content.identity = identity;
    }
    return content;
}

// The file the path names after following links, so that a linked store is updated where it
// lies instead of having its link replaced; the path itself when it does not exist yet.
std::string ResolveTarget(const std::string& path) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) {
        return path;
    }
    std::string target(resolved);
    std::free(resolved);
    return target;
}

std::string ParentFolder(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates FOLDER and its missing parents with mode 0700.
bool MakeFolders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        errno = ENOTDIR;
        return S_ISDIR(info.st_mode);
    }
    std::string parent = ParentFolder(folder);
    if (parent != folder && !MakeFolders(parent)) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The temporary files of TARGET's writers are "<name>.tmp-XXXXXX" beside it.
constexpr std::string_view kTempInfix = ".tmp-";
constexpr std::size_t kTempSuffixBytes = 6;

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsTempSuffix(std::string_view suffix) {
    if (suffix.size() != kTempSuffixBytes) {
        return false;
    }
    for (char c : suffix) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum) {
            return false;
        }
    }
    return true;
}

// Removes the temporary files a writer of TARGET left behind when it was killed between
// creating and renaming one. Runs under the store's lock, which every writer holds while its
// temporary file exists, so whatever is found is stale. Only regular files of this user are
// removed.
void RemoveStaleTempFiles(const std::string& target) {
    const std::string folder = ParentFolder(target);
    const std::string prefix = BaseName(target) + std::string(kTempInfix);
    UniqueFd folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folderFd) {
        return;
    }
    DIR* dir = ::fdopendir(::dup(folderFd.Get()));
    if (dir == nullptr) {
        return;
    }
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.size() == prefix.size() + kTempSuffixBytes && name.starts_with(prefix) &&
            IsTempSuffix(name.substr(prefix.size()))) {
            stale.emplace_back(name);
        }
    }
    ::closedir(dir);
    for (const std::string& name : stale) {
        struct stat info {};
        if (::fstatat(folderFd.Get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::geteuid()) {
            ::unlinkat(folderFd.Get(), name.c_str(), 0);
        }
    }
}

// Replaces TARGET by a file holding BYTES (mode 0600) so that a reader sees either the old or
// the new content, and the new content is on disk when this returns ERROR_SUCCESS.
LONG ReplaceFile(const std::string& target, const std::string& bytes) {
    std::string temp = target + std::string(kTempInfix) + "XXXXXX";
    UniqueFd fd(::mkostemp(temp.data(), O_CLOEXEC));
    if (!fd) {
        return ErrorFromErrno(errno);
    }
    LONG rc = ERROR_SUCCESS;
    if (::fchmod(fd.Get(), 0600) != 0 || !WriteAll(fd.Get(), bytes) || ::fsync(fd.Get()) != 0) {
        rc = ErrorFromErrno(errno);
    }
    if (fd.Close() != 0 && rc == ERROR_SUCCESS) {
        rc = ErrorFromErrno(errno);
    }
    if (rc == ERROR_SUCCESS && ::rename(temp.c_str(), target.c_str()) != 0) {
        rc = ErrorFromErrno(errno);
    }
    if (rc != ERROR_SUCCESS) {
        ::unlink(temp.c_str());
        return rc;
    }
    // The rename itself is durable only once the folder is synced.
    UniqueFd folder(::open(ParentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) {
        ::fsync(folder.Get());
    }
    return ERROR_SUCCESS;
}

} // namespace

const Hive& FileRegistry::Load() {
    if (path_.empty()) {
        loaded_ = Hive();
        loadedIdentity_.reset();
        return loaded_;
    }
    FileContent content = ReadFileBounded(path_, loadedIdentity_);
    if (content.state == FileState::read && content.identity &&
        content.identity == loadedIdentity_) {
        return loaded_; // the file is the one parsed last
    }
    loaded_ = ParseRegFile(content.bytes);
    loadedIdentity_ = content.identity;
    return loaded_;
}

LONG FileRegistry::Update(const std::function<bool(Hive&)>& change) {
    if (path_.empty()) {
        return ERROR_REGISTRY_IO_FAILED;
    }
    const std::string target = ResolveTarget(path_);
    if (!MakeFolders(ParentFolder(target))) {
        return ErrorFromErrno(errno);
    }
    UniqueFd lock(
        ::open((target + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600));
    if (!lock) {
        return ErrorFromErrno(errno);
    }
    while (::flock(lock.Get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            return ErrorFromErrno(errno);
        }
    }
    FileContent content = ReadFileBounded(target);
    if (content.state == FileState::unreadable) {
        return content.error;
    }
    if (content.state == FileState::oversized) {
        return ERROR_NOT_ENOUGH_QUOTA;
    }
    RegFileContent file = ReadRegFile(content.bytes);
    if (!file.rewritable) {
        return ERROR_REGISTRY_CORRUPT;
    }
    if (!change(file.hive)) {
        return ERROR_SUCCESS;
    }
    std::string bytes = WriteRegFile(file.hive, file.kept);
    if (bytes.size() > kMaxRegFileBytes) {
        return ERROR_NOT_ENOUGH_QUOTA;
    }
    RemoveStaleTempFiles(target);
    loadedIdentity_.reset(); // the next Load reads what was written
    return ReplaceFile(target, bytes);
}

std::unique_ptr<IRegistry> OpenUserRegistry() {
    return std::make_unique<FileRegistry>(UserRegistryPath());
}

std::string UserRegistryLocation() {
    return UserRegistryPath();
}

} // namespace nv::platform
