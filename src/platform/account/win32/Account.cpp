#include "platform/account/Account.h"

#include <windows.h>

namespace nv::platform {

BOOL GetUserNameA(char* buffer, DWORD* size) {
    if (size == nullptr) {
        return FALSE;
    }
    unsigned long length = *size;
    const bool ok = ::GetUserNameA(buffer, &length) != 0;
    *size = static_cast<DWORD>(length);
    return ok ? TRUE : FALSE;
}

} // namespace nv::platform
