// Code modules on POSIX systems: shared objects loaded with dlopen.
#include "platform/files/posix/UniqueFd.h"
#include "platform/modules/Modules.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

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
    // A name without '/' would be looked up on the library search path (and an empty one
    // names the running program itself): only a path to the file is ever loaded.
    if (path.find('/') == std::string::npos) {
        return nullptr;
    }
    // Only a regular file is handed to the loader, whose own open would block on a FIFO.
    const UniqueFd probe(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info {};
    if (!probe || ::fstat(probe.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
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
    if (name.empty()) {
        return name;
    }
    const std::size_t base = name.rfind('/') == std::string::npos ? 0 : name.rfind('/') + 1;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < base) {
        return name + ".so"; // no extension: the library extension, as the Windows loader adds
    }
    if (dot + 1 == name.size()) {
        return name.substr(0, dot); // a trailing '.' stands for "no extension"
    }
    std::string extension = name.substr(dot);
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return extension == ".dll" ? name.substr(0, dot) + ".so" : name;
}

void RestrictCodeModuleSearch() {
    // Nothing to restrict: the loader here never searches the current folder.
}

} // namespace nv::platform
