// The running executable's path from GetModuleFileNameW, as UTF-8, so a program folder in any
// script is found whatever the active code page is.
#include "platform/files/Files.h"
#include "platform/text/win32/WideText.h"

#include <windows.h>

// The system's header maps this name to its A or W form; here it is the interface's.
#undef GetModuleFileName

namespace nv::platform {

std::string GetModuleFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        // A full buffer means the name was cut: grow and ask again (long paths reach 32767).
        if (length < path.size()) {
            path.resize(length);
            return Utf8FromWide(path);
        }
        if (path.size() >= 32768) {
            return {};
        }
        path.resize(path.size() * 2);
    }
}

// The folder ends at the last separator of either kind.
std::string GetProgramDirectory() {
    const std::string exe = GetModuleFileName();
    const std::size_t slash = exe.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

} // namespace nv::platform
