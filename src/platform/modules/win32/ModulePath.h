// Module paths for the wide Win32 calls.
#pragma once

#include <optional>
#include <string>

namespace nv::platform {

// PATH (UTF-8) as a full wide path: a relative path is taken from the current folder, so the
// system never looks the module up on its search path. None when PATH is empty or not
// well-formed UTF-8.
std::optional<std::wstring> FullModulePath(const std::string& path);

} // namespace nv::platform
