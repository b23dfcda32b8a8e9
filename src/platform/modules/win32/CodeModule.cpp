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
    return name;
}

void RestrictCodeModuleSearch() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    SetDllDirectoryW(L"");
}

} // namespace nv::platform
