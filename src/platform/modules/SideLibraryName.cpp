// Names of side libraries: what a name from outside may be, and whether a path is absolute.
#include "platform/modules/Modules.h"

namespace nv::platform {

bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name.find_first_of("/\\:") == std::string::npos &&
           name.find("..") == std::string::npos;
}

bool IsAbsolutePath(const std::string& path) {
#ifdef _WIN32
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/') &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    const bool unc = path.size() >= 3 && (path[0] == '\\' || path[0] == '/') &&
                     (path[1] == '\\' || path[1] == '/');
    return drive || unc;
#else
    return !path.empty() && path[0] == '/';
#endif
}

} // namespace nv::platform
