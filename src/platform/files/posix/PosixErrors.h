// How the posix file layer names the reasons for a failed open.
#pragma once

#include "platform/files/Files.h"

namespace nv::platform {

// The file-exception cause for ERR, an errno value from opening or locking a file:
// ENOENT/ENOTDIR fileNotFound, ENAMETOOLONG/EINVAL badPath, EACCES/EPERM/EISDIR accessDenied,
// EMFILE/ENFILE tooManyOpenFiles, EWOULDBLOCK (a lock or lease held elsewhere)
// sharingViolation, EIO hardIO, anything else generic.
FileCause FileCauseFromErrno(int err);

} // namespace nv::platform
