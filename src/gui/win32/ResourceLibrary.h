// The resource library opened by the system loader as a data file, for what only the system
// can do with it: create dialogs from its templates and load its icons. Owns the module
// handle and the icons loaded from it.
#pragma once

#include "gui/win32/Handles.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
namespace nv::gui {

class ResourceLibrary {
public:
    // Opens the module at PATH (UTF-8, a full path); Handle() is null when it cannot be opened.
    explicit ResourceLibrary(const std::string& path);
    ~ResourceLibrary();
    ResourceLibrary(const ResourceLibrary&) = delete;
    ResourceLibrary& operator=(const ResourceLibrary&) = delete;

    ModuleHandle Handle() const { return module_; }
    // Icon group ID at the system's size for big (SM_CXICON) or small (SM_CXSMICON) icons;
    // null when the library has no such icon. The icon lives as long as the library.
    IconRef Icon(std::uint32_t id, bool big);

private:
    ModuleHandle module_ = nullptr;
    std::map<std::pair<std::uint32_t, bool>, IconRef> icons_;
};

} // namespace nv::gui
