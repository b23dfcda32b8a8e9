#include "platform/help/win32/SystemHelpRuntime.h"

#include "platform/help/HelpTopics.h"
#include "platform/modules/win32/ModulePath.h"
#include "platform/text/win32/WideText.h"

#include <windows.h>

namespace nv::platform {
namespace {

// The wide entry point's real signature: the window and data are pointer-sized. It has the
// ordinal after the one of the ANSI entry; the program's help file names are UTF-8, and none
// of the commands it sends carries a text in DATA.
using HtmlHelpEntry = ::HWND(WINAPI*)(::HWND, LPCWSTR, ::UINT, ::DWORD_PTR);
constexpr UINT kWideEntryOrdinal = kHtmlHelpEntryOrdinal + 1;

class SystemHelpModule final : public HelpRuntimeModule {
public:
    explicit SystemHelpModule(HMODULE module) : module_(module) {}
    ~SystemHelpModule() override { FreeLibrary(module_); }
    SystemHelpModule(const SystemHelpModule&) = delete;
    SystemHelpModule& operator=(const SystemHelpModule&) = delete;

    HtmlHelpProc GetProcAddress(UINT ordinal) override {
        // An ordinal is asked for by a "name" whose value is below 65536.
        if (ordinal != kHtmlHelpEntryOrdinal) {
            return {};
        }
        FARPROC proc = ::GetProcAddress(module_, MAKEINTRESOURCEA(kWideEntryOrdinal));
        if (proc == nullptr) {
            return {};
        }
        auto entry = reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(proc));
        return [entry](HWND caller, const char* file, UINT command, DWORD_PTR data) {
            const std::wstring wide = file != nullptr ? WideFromUtf8Replacing(file) : L"";
            return reinterpret_cast<HWND>(entry(reinterpret_cast<::HWND>(caller),
                                                file != nullptr ? wide.c_str() : nullptr, command,
                                                data));
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
    // A bare name is the system's own module; nothing is looked up on the search path.
    const std::string name = pathOrName;
    const std::string path =
        name.find_first_of("\\/") == std::string::npos ? SystemModulePath(name) : name;
    auto* module = static_cast<HMODULE>(LoadCodeModuleByPath(path));
    if (module == nullptr) {
        return nullptr;
    }
    return std::make_unique<SystemHelpModule>(module);
}

} // namespace nv::platform
