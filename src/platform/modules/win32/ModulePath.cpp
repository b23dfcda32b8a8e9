#include "platform/modules/win32/ModulePath.h"

#include "platform/files/win32/WideText.h"

#include <windows.h>

namespace nv::platform {

std::optional<std::wstring> FullModulePath(const std::string& path) {
    const auto wide = WideFromUtf8(path);
    if (!wide || wide->empty()) {
        return std::nullopt;
    }
    const ::DWORD needed = ::GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return std::nullopt;
    }
    std::wstring full(needed, L'\0');
    const ::DWORD written = ::GetFullPathNameW(wide->c_str(), needed, full.data(), nullptr);
    if (written == 0 || written >= needed) {
        return std::nullopt;
    }
    full.resize(written);
    return full;
}

} // namespace nv::platform
