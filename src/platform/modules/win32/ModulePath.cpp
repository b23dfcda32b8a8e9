#include "platform/modules/win32/ModulePath.h"

#include "platform/text/win32/WideText.h"

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

namespace nv::platform {
namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool isAbsolute(const std::wstring& path) {
    const bool drive =
        path.size() >= 3 &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z')) &&
        path[1] == L':' && isSeparator(path[2]);
    const bool unc = path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]);
    return drive || unc;
}

} // namespace

void* LoadCodeModuleByPath(const std::string& path) {
    // A rooted path ("\\dir\\x.dll", on the current drive) is made whole; a name or a path
    // relative to a folder would be looked up on the search path, so it is refused.
    const auto wide = WideFromUtf8(path);
    if (!wide || wide->empty() || !(isAbsolute(*wide) || isSeparator((*wide)[0]))) {
        return nullptr;
    }
    const auto full = FullModulePath(path);
    if (!full || !isAbsolute(*full)) {
        return nullptr;
    }
    // Only a file that is there as named is loaded: the loader would otherwise add ".dll" to a
    // name that has no extension or stands for none ("x."), and could take a folder's path.
    const DWORD attributes = ::GetFileAttributesW(full->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return nullptr;
    }
    return ::LoadLibraryExW(full->c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

std::string SystemModulePath(const std::string& name) {
    if (name.empty() || name.find_first_of("\\/:") != std::string::npos) {
        return {};
    }
    const ::UINT needed = ::GetSystemDirectoryW(nullptr, 0);
    if (needed == 0) {
        return {};
    }
    std::wstring folder(needed, L'\0');
    const ::UINT written = ::GetSystemDirectoryW(folder.data(), needed);
    if (written == 0 || written >= needed) {
        return {};
    }
    folder.resize(written);
    return Utf8FromWide(folder) + "\\" + name;
}

} // namespace nv::platform
