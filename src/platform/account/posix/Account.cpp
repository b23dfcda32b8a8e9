#include "platform/account/Account.h"

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace nv::platform {

namespace {

// The user database's records are read into a buffer that grows up to this size.
constexpr std::size_t kMaxRecordBuffer = 1 << 20;

} // namespace

BOOL GetUserNameA(char* buffer, DWORD* size) {
    if (size == nullptr) {
        return FALSE;
    }
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::size_t recordSize = suggested > 0 ? static_cast<std::size_t>(suggested) : 1024;
    std::vector<char> record;
    passwd entry{};
    passwd* found = nullptr;
    for (;;) {
        record.assign(recordSize, '\0');
        const int error = getpwuid_r(geteuid(), &entry, record.data(), record.size(), &found);
        if (error == ERANGE && recordSize < kMaxRecordBuffer) {
            recordSize *= 2;
            continue;
        }
        if (error != 0 || found == nullptr || found->pw_name == nullptr ||
            found->pw_name[0] == '\0') {
            return FALSE;
        }
        break;
    }
    const std::size_t needed = std::strlen(found->pw_name) + 1;
    if (buffer == nullptr || *size < needed) {
        *size = static_cast<DWORD>(needed);
        return FALSE;
    }
    std::memcpy(buffer, found->pw_name, needed);
    *size = static_cast<DWORD>(needed);
    return TRUE;
}

} // namespace nv::platform
