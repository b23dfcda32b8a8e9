#include "platform/help/win32/SystemHelpRuntime.h"

#include <windows.h>

namespace nv::platform {
namespace {

// The entry point's real signature: the window and data are pointer-sized.
using HtmlHelpEntry = ::HWND(WINAPI*)(::HWND, LPCSTR, ::UINT, ::DWORD_PTR);

class SystemHelpModule final : public HelpRuntimeModule {
public:
    explicit SystemHelpModule(HMODULE module) : module_(module) {}
    ~SystemHelpModule() override { FreeLibrary(module_); }
    SystemHelpModule(const SystemHelpModule&) = delete;
    SystemHelpModule& operator=(const SystemHelpModule&) = delete;

    HtmlHelpProc GetProcAddress(UINT ordinal) override {
        // An ordinal is asked for by a "name" whose value is below 65536.
        FARPROC proc = ::GetProcAddress(module_, MAKEINTRESOURCEA(ordinal & 0xFFFFu));
        if (proc == nullptr || ordinal > 0xFFFFu) {
            return {};
        }
        auto entry = reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(proc));
        return [entry](HWND caller, const char* file, UINT command, DWORD_PTR data) {
            return reinterpret_cast<HWND>(
                entry(reinterpret_cast<::HWND>(caller), file, command, data));
        };
    }

private:
    HMODULE module_;
};

} // namespace

std::unique_ptr<HelpRuntimeModule> SystemHelpRuntimeLoader::LoadLibraryA(const char* pathOrName) {
    if (pathOrName == nullptr || *pathOrName == '\0') {
        return nullptr;
    }
    HMODULE module = ::LoadLibraryA(pathOrName);
    if (module == nullptr) {
        return nullptr;
    }
    return std::make_unique<SystemHelpModule>(module);
}

} // namespace nv::platform
