#include "platform/files/posix/PosixErrors.h"

#include <cerrno>

namespace nv::platform {

FileCause FileCauseFromErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return FileCause::fileNotFound;
    case ENAMETOOLONG:
    case EINVAL:
        return FileCause::badPath;
    case EACCES:
    case EPERM:
    case EISDIR:
        return FileCause::accessDenied;
    case EMFILE:
    case ENFILE:
        return FileCause::tooManyOpenFiles;
    case EWOULDBLOCK:
        return FileCause::sharingViolation;
    case EIO:
        return FileCause::hardIO;
    default:
        return FileCause::generic;
    }
}

} // namespace nv::platform
