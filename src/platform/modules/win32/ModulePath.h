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

namespace nv::platform {

// Loads the code module at PATH (UTF-8), which must be absolute (a drive and a separator, a UNC
// path, or a path from the current drive's root): its own dependencies come from its folder and
// the system's, never from the current folder or PATH. Null when PATH is a bare name or relative
// to a folder, or the module cannot be loaded.
void* LoadCodeModuleByPath(const std::string& path);

// The file NAME (UTF-8, no separator) in the system's own folder, as an absolute path; empty
// when NAME holds a separator or the folder cannot be read.
std::string SystemModulePath(const std::string& name);

} // namespace nv::platform
