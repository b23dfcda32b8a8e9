// The account the program runs under.
#pragma once

#include "platform/wintypes.h"

namespace nv::platform {

// GetUserNameA: copies the name of the user the process runs as (on POSIX systems the
// user-database name of its effective user ID) into BUFFER of *SIZE bytes, NUL-terminated, and
// stores the bytes used, NUL included, in *SIZE. Returns FALSE when the user has no name, or
// when BUFFER is too small, in which case *SIZE is set to the size needed.
BOOL GetUserNameA(char* buffer, DWORD* size);

} // namespace nv::platform
