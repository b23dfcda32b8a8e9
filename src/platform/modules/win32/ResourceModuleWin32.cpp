// Resource modules on Windows, through the system loader: the module is mapped as an image
// resource (no code runs, nothing is resolved), strings come from LoadStringW and raw resources
// from FindResourceW, both converted to the program's UTF-8. The loader chooses the language
// of each resource as it does for any program. The platform header comes after ours, whose
// TRUE and FALSE constants it would otherwise turn into macros.
#include "platform/modules/Modules.h"
#include "platform/modules/win32/ModulePath.h"
#include "platform/text/win32/WideText.h"

#include <algorithm>
#include <cstring>
#include <windows.h>

namespace nv::platform {

namespace {

// Resource IDs and types are 16-bit: anything larger would be taken for a name's address.
constexpr UINT kMaxResourceId = 0xFFFF;

::BOOL CALLBACK CollectId(HMODULE /*module*/, LPCWSTR /*type*/, LPWSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name)) {
        auto* ids = reinterpret_cast<std::vector<UINT>*>(param);
        try {
            ids->push_back(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
        } catch (...) {
            return FALSE; // no exception may cross the system's frames
        }
    }
    return TRUE;
}

class SystemResourceModule final : public ResourceModule {
public:
    explicit SystemResourceModule(HMODULE handle) : handle_(handle) {}
    ~SystemResourceModule() override { ::FreeLibrary(handle_); }
    SystemResourceModule(const SystemResourceModule&) = delete;
    SystemResourceModule& operator=(const SystemResourceModule&) = delete;

    // The system's LoadStringA would convert to the active code page and count its bytes; the
    // program's texts are UTF-8 whatever that page is, so the base class cuts the wide string's
    // UTF-8 form read here, never inside a character.
    std::string LoadText(UINT id) const override {
        if (id > kMaxResourceId) {
            return {};
        }
        // With a buffer size of 0 the system hands out the string where it lies in the module,
        // with its full length, so no text is ever cut here.
        const wchar_t* text = nullptr;
        const int units = ::LoadStringW(handle_, id, reinterpret_cast<LPWSTR>(&text), 0);
        if (units <= 0 || text == nullptr) {
            return {};
        }
        return Utf8FromWide(std::wstring(text, static_cast<std::size_t>(units)));
    }

    std::vector<std::uint8_t> FindResourceData(UINT type, UINT id) const override {
        if (type == 0 || type > kMaxResourceId || id == 0 || id > kMaxResourceId) {
            return {};
        }
        HRSRC found = ::FindResourceW(handle_, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
        if (found == nullptr) {
            return {};
        }
        const ::DWORD size = ::SizeofResource(handle_, found);
        HGLOBAL loaded = ::LoadResource(handle_, found);
        const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
        if (data == nullptr || size == 0) {
            return {};
        }
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        return {bytes, bytes + size};
    }

    std::vector<UINT> ResourceIds(UINT type) const override {
        std::vector<UINT> ids;
        if (type == 0 || type > kMaxResourceId) {
            return ids;
        }
        // A type with no resources makes the call fail; the list is then empty.
        ::EnumResourceNamesW(handle_, MAKEINTRESOURCEW(type), &CollectId,
                             reinterpret_cast<LONG_PTR>(&ids));
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        return ids;
    }

private:
    HMODULE handle_;
};

} // namespace

std::unique_ptr<ResourceModule> ResourceModule::Load(const std::string& path) {
    const auto full = FullModulePath(path);
    if (!full) {
        return nullptr;
    }
    HMODULE handle = ::LoadLibraryExW(full->c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (handle == nullptr) {
        return nullptr;
    }
    return std::make_unique<SystemResourceModule>(handle);
}

} // namespace nv::platform
