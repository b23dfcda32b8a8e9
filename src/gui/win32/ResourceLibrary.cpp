#include "gui/win32/ResourceLibrary.h"

#include "platform/text/win32/WideText.h"

// The system's headers come last: their macros would clash with the program's constants.
#include <windows.h>

namespace nv::gui {

ResourceLibrary::ResourceLibrary(const std::string& path) {
    if (const auto wide = platform::WideFromUtf8(path)) {
        module_ = LoadLibraryExW(wide->c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
}

ResourceLibrary::~ResourceLibrary() {
    for (const auto& [key, icon] : icons_) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    if (module_ != nullptr) {
        FreeLibrary(module_);
    }
}

IconRef ResourceLibrary::Icon(std::uint32_t id, bool big) {
    const auto key = std::make_pair(id, big);
    if (auto it = icons_.find(key); it != icons_.end()) {
        return it->second;
    }
    HICON icon = nullptr;
    if (module_ != nullptr && id != 0 && id <= 0xFFFF) {
        const int cx = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
        const int cy = GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON);
        icon = static_cast<HICON>(LoadImageW(module_, MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, 0));
    }
    icons_.emplace(key, icon);
    return icon;
}

} // namespace nv::gui
