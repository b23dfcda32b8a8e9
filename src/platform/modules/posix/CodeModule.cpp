// Code modules on POSIX systems: shared objects loaded with dlopen.
#include "platform/modules/Modules.h"

#include <dlfcn.h>

namespace nv::platform {

namespace {

class SharedObject final : public CodeModule {
public:
    explicit SharedObject(void* handle) : handle_(handle) {}
    ~SharedObject() override { dlclose(handle_); }
    SharedObject(const SharedObject&) = delete;
    SharedObject& operator=(const SharedObject&) = delete;

    void* GetProcAddress(const char* name) const override {
        return name == nullptr ? nullptr : dlsym(handle_, name);
    }

private:
    void* handle_;
};

} // namespace

std::unique_ptr<CodeModule> CodeModule::Load(const std::string& path) {
    // An empty path would name the running program itself.
    if (path.empty()) {
        return nullptr;
    }
    // Symbols stay private to the module, and unresolved references fail the load now rather
    // than at the first call.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_unique<SharedObject>(handle);
}

std::string NativeCodeModuleName(const std::string& name) {
    constexpr std::string_view kDll = ".dll";
    if (name.size() >= kDll.size()) {
        const std::size_t at = name.size() - kDll.size();
        bool matches = true;
        for (std::size_t i = 0; i < kDll.size(); ++i) {
            char c = name[at + i];
            if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
            matches = matches && c == kDll[i];
        }
        if (matches) {
            return name.substr(0, at) + ".so";
        }
    }
    return name;
}

void RestrictCodeModuleSearch() {
    // Nothing to restrict: the loader here never searches the current folder.
}

} // namespace nv::platform
