// The profile services on Windows are the system's own reader; the shared reader (ProfileText)
// reproduces it on other platforms and is checked against it in the tests.
#include "platform/profile/Profile.h"

#include <windows.h>

namespace nv::platform {

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName) {
    // The system call writes through a null buffer when asked for a size; nobody may.
    if (buffer == nullptr) {
        return 0;
    }
    return static_cast<DWORD>(
        ::GetPrivateProfileStringA(section, key, defaultValue, buffer, size, fileName));
}

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* fileName) {
    return static_cast<UINT>(::GetPrivateProfileIntA(section, key, defaultValue, fileName));
}

} // namespace nv::platform
