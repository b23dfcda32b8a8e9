// Code modules on Windows: libraries loaded by absolute path only (LoadLibraryExW), so that a
// module of the same name in the current folder or on PATH is never taken for it. The platform
// header comes after ours, whose TRUE and FALSE constants it would otherwise turn into macros.
#include "platform/modules/Modules.h"
#include "platform/modules/win32/ModulePath.h"

#include <windows.h>

namespace nv::platform {

namespace {

class Library final : public CodeModule {
public:
    explicit Library(HMODULE handle) : handle_(handle) {}
    ~Library() override { FreeLibrary(handle_); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    void* GetProcAddress(const char* name) const override {
        return name == nullptr ? nullptr : reinterpret_cast<void*>(::GetProcAddress(handle_, name));
    }

private:
    HMODULE handle_;
};

} // namespace

std::unique_ptr<CodeModule> CodeModule::Load(const std::string& path) {
    auto* handle = static_cast<HMODULE>(LoadCodeModuleByPath(path));
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_unique<Library>(handle);
}

std::string NativeCodeModuleName(const std::string& name) {
    // As the system loader reads a name: none of its own gets ".dll"; a trailing "." stands for
    // no extension and is kept, so that the file must be there exactly as named.
    const std::size_t start =
        name.find_last_of("\\/") == std::string::npos ? 0 : name.find_last_of("\\/") + 1;
    if (start < name.size() && name.find('.', start) == std::string::npos) {
        return name + ".dll";
    }
    return name;
}

void RestrictCodeModuleSearch() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    SetDllDirectoryW(L"");
}

} // namespace nv::platform
