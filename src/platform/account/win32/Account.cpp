#include "platform/account/Account.h"

#include "platform/text/win32/WideText.h"

#include <cstring>
#include <string>
#include <windows.h>

namespace nv::platform {

// The name comes from the wide call and is handed on in UTF-8; *SIZE counts UTF-8 bytes.
BOOL GetUserNameA(char* buffer, DWORD* size) {
    if (size == nullptr) {
        return FALSE;
    }
    // The system's limit for a user name is 256 characters.
    std::wstring wide(257, L'\0');
    unsigned long length = static_cast<unsigned long>(wide.size());
    if (::GetUserNameW(wide.data(), &length) == 0 || length == 0) {
        return FALSE;
    }
    wide.resize(length - 1); // the count includes the terminator
    const std::string name = Utf8FromWide(wide);
    if (name.empty()) {
        return FALSE;
    }
    const DWORD needed = static_cast<DWORD>(name.size() + 1);
    if (buffer == nullptr || *size < needed) {
        *size = needed;
        ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, name.c_str(), needed);
    *size = needed;
    return TRUE;
}

} // namespace nv::platform
